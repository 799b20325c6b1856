#include "station/ApplicationNames.h"

#include <array>
#include <utility>

namespace tallowmere {
namespace {

// clang-format off
// Application ids: the RDS Forum's register of open data applications.
constexpr std::array<std::pair<std::uint16_t, std::string_view>, 7> kApplications = {{
    {0x0093, "DAB cross-referencing"},
    {0x4BD7, "RadioText+"},
    {0x4BD8, "RadioText+ for eRT"},
    {0x6552, "enhanced RadioText"},
    {0xCD46, "RDS-TMC ALERT-C"},
    {0xCD47, "RDS-TMC ALERT-C"},
    {0xE911, "Emergency Warning System"},
}};

// RadioText Plus content types: the RDS Forum's RT+ standard, its table of classes; "" for the
// reserved classes 54 and 55 and the private classes 56 to 58.
constexpr std::array<std::string_view, 64> kRadioTextPlusClasses = {
    "dummy",               "item.title",            "item.album",           "item.tracknumber",
    "item.artist",         "item.composition",      "item.movement",        "item.conductor",
    "item.composer",       "item.band",             "item.comment",         "item.genre",
    "info.news",           "info.news.local",       "info.stockmarket",     "info.sport",
    "info.lottery",        "info.horoscope",        "info.daily_diversion", "info.health",
    "info.event",          "info.szene",            "info.cinema",          "info.stupidity.machine",
    "info.date_time",      "info.weather",          "info.traffic",         "info.alarm",
    "info.advertisement",  "info.url",              "info.other",           "stationname.short",
    "stationname.long",    "programme.now",         "programme.next",       "programme.part",
    "programme.host",      "programme.editorial_staff", "programme.frequency", "programme.homepage",
    "programme.subchannel", "phone.hotline",        "phone.studio",         "phone.other",
    "sms.studio",          "sms.other",             "email.hotline",        "email.studio",
    "email.other",         "mms.other",             "chat",                 "chat.centre",
    "vote.question",       "vote.centre",           "",                     "",
    "",                    "",                      "",                     "place",
    "appointment",         "identifier",            "purchase",             "get_data",
};
// clang-format on

}  // namespace

std::string_view applicationName(std::uint16_t aid) {
  for (const auto& [id, name] : kApplications) {
    if (id == aid) return name;
  }
  return {};
}

std::string radioTextPlusClassName(int contentType) {
  const std::string_view name = kRadioTextPlusClasses[static_cast<std::size_t>(contentType) & 63];
  return name.empty() ? std::to_string(contentType) : std::string(name);
}

}  // namespace tallowmere
