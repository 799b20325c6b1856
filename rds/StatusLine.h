#pragma once

#include <optional>
#include <string_view>

namespace tallowmere {

// What a receiver status line such as ' RDS STEREO RSSI: 42' says. The token found last
// in the chunk wins for each of the two indications.
struct StatusReading {
  enum class Stereo { Unknown, Stereo, Mono } stereo = Stereo::Unknown;
  bool rssiFound = false;
  // The 7th and 8th characters from the "R" of the last "RSSI", blanks past the end.
  char rssiText[2] = {' ', ' '};
};

bool isStatusLine(std::string_view rxText);
StatusReading readStatusLine(std::string_view rxText);
// The level in dBuV the reading's two characters give ("42", " 7"), or nothing for any
// other characters.
std::optional<int> levelDbuv(const StatusReading& reading);

}  // namespace tallowmere
