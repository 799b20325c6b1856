#include "rds/ProgrammeTypes.h"

#include <array>

namespace tallowmere {
namespace {

// clang-format off
constexpr std::array<std::string_view, 32> kCaptions = {
    "0 - No programme type defined", "1 - News", "2 - Current affairs", "3 - Information",
    "4 - Sport", "5 - Education", "6 - Drama", "7 - Culture",
    "8 - Science", "9 - Varied", "10 - Pop Music", "11 - Rock Music",
    "12 - Easy Listening", "13 - Light Classical", "14 - Serious Classical", "15 - Other Music",
    "16 - Weather", "17 - Finance", "18 - Children's Programmes", "19 - Social Affairs",
    "20 - Religion", "21 - Phone-in", "22 - Travel", "23 - Leisure",
    "24 - Jazz", "25 - Country", "26 - National", "27 - Oldies",
    "28 - Folk", "29 - Documentary", "30 - Alarm Test", "31 - ALARM!"};

}  // namespace
// clang-format on

std::string_view programmeTypeCaption(int ptyCode) {
  return kCaptions[static_cast<std::size_t>(ptyCode & 31)];
}

std::string_view programmeTypeName(int ptyCode) {
  const std::string_view caption = programmeTypeCaption(ptyCode);
  return caption.substr(caption.find(" - ") + 3);
}

}  // namespace tallowmere
