#pragma once

#include <string_view>

namespace tallowmere {

// A text without the blanks at its end: RDS pads its names and texts with them.
constexpr std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

}  // namespace tallowmere
