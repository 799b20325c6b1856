#include "station/Countries.h"

#include <array>

namespace tallowmere {
namespace {

// clang-format off
// Country codes of the European broadcasting area by ECC (E0 to E4) and the PI's first
// digit (1 to F): IEC 62106, Annex D, table D.1.
constexpr std::array<std::array<std::string_view, 15>, 5> kEuropeanCountries = {{
    {"DE", "DZ", "AD", "IL", "IT", "BE", "RU", "PS", "AL", "AT", "HU", "MT", "DE", "",   "EG"},  // E0
    {"GR", "CY", "SM", "CH", "JO", "FI", "LU", "BG", "DK", "GI", "IQ", "GB", "LY", "RO", "FR"},  // E1
    {"MA", "CZ", "PL", "VA", "SK", "SY", "TN", "",   "LI", "IS", "MC", "LT", "RS", "ES", "NO"},  // E2
    {"ME", "IE", "TR", "MK", "",   "",   "",   "NL", "LV", "LB", "AZ", "HR", "KZ", "SE", "BY"},  // E3
    {"MD", "EE", "KG", "",   "",   "UA", "",   "PT", "SI", "AM", "",   "GE", "",   "",   "BA"},  // E4
}};

// Language codes: IEC 62106, Annex J, tables J.1 (European, 0x00 to 0x2B) and J.2 (other
// languages, 0x45 to 0x7F).
constexpr std::array<std::string_view, 0x2C> kEuropeanLanguages = {
    "",          "Albanian",  "Breton",     "Catalan",   "Croatian",     "Welsh",      "Czech",     "Danish",
    "German",    "English",   "Spanish",    "Esperanto", "Estonian",     "Basque",     "Faroese",   "French",
    "Frisian",   "Irish",     "Gaelic",     "Galician",  "Icelandic",    "Italian",    "Lappish",   "Latin",
    "Latvian",   "Luxembourgian", "Lithuanian", "Hungarian", "Maltese",  "Dutch",      "Norwegian", "Occitan",
    "Polish",    "Portuguese", "Romanian",  "Romansh",   "Serbian",      "Slovak",     "Slovene",   "Finnish",
    "Swedish",   "Turkish",   "Flemish",    "Walloon"};
constexpr int kFirstOtherLanguage = 0x45;
constexpr std::array<std::string_view, 0x80 - kFirstOtherLanguage> kOtherLanguages = {
    "Zulu",      "Vietnamese", "Uzbek",     "Urdu",      "Ukrainian",    "Thai",       "Telugu",    "Tatar",
    "Tamil",     "Tadzhik",   "Swahili",    "Sranan Tongo", "Somali",    "Sinhalese",  "Shona",     "Serbo-Croat",
    "Ruthenian", "Russian",   "Quechua",    "Pushtu",    "Punjabi",      "Persian",    "Papamiento", "Oriya",
    "Nepali",    "Ndebele",   "Marathi",    "Moldavian", "Malaysian",    "Malagasay",  "Macedonian", "Laotian",
    "Korean",    "Khmer",     "Kazakh",     "Kannada",   "Japanese",     "Indonesian", "Hindi",     "Hebrew",
    "Hausa",     "Gurani",    "Gujurati",   "Greek",     "Georgian",     "Fulani",     "Dari",      "Churash",
    "Chinese",   "Burmese",   "Bulgarian",  "Bengali",   "Bielorussian", "Bambora",    "Azerbaijani", "Assamese",
    "Armenian",  "Arabic",    "Amharic"};
// clang-format on

constexpr int kFirstEuropeanEcc = 0xE0;

}  // namespace

std::string_view countryCode(std::uint16_t pi, int ecc) {
  const unsigned digit = pi >> 12;
  const int row = ecc - kFirstEuropeanEcc;
  if (digit == 0 || row < 0 || row >= static_cast<int>(kEuropeanCountries.size())) return {};
  return kEuropeanCountries[static_cast<std::size_t>(row)][digit - 1];
}

std::string_view languageName(int code) {
  if (code >= 0 && code < static_cast<int>(kEuropeanLanguages.size())) {
    return kEuropeanLanguages[static_cast<std::size_t>(code)];
  }
  if (code >= kFirstOtherLanguage && code < 0x80)
    return kOtherLanguages[static_cast<std::size_t>(code - kFirstOtherLanguage)];
  return {};
}

}  // namespace tallowmere
