#include "rds/StatusLine.h"

namespace tallowmere {

bool isStatusLine(std::string_view rxText) {
  return rxText.starts_with(" ---") || rxText.starts_with(" RDS");
}

StatusReading readStatusLine(std::string_view rxText) {
  StatusReading reading;
  // The tokens hold no blank, so a match lies wholly inside the chunk and the last one
  // is the last occurrence.
  const std::size_t stereo = rxText.rfind("STEREO");
  const std::size_t mono = rxText.rfind("MONO");
  if (stereo != std::string_view::npos && (mono == std::string_view::npos || stereo > mono)) {
    reading.stereo = StatusReading::Stereo::Stereo;
  } else if (mono != std::string_view::npos) {
    reading.stereo = StatusReading::Stereo::Mono;
  }
  if (const std::size_t rssi = rxText.rfind("RSSI"); rssi != std::string_view::npos) {
    reading.rssiFound = true;
    for (std::size_t k = 0; k < 2; ++k) {
      const std::size_t at = rssi + 6 + k;
      reading.rssiText[k] = at < rxText.size() ? rxText[at] : ' ';
    }
  }
  return reading;
}

std::optional<int> levelDbuv(const StatusReading& reading) {
  if (!reading.rssiFound) return std::nullopt;
  int level = 0;
  bool digits = false;
  for (const char c : reading.rssiText) {
    if (c >= '0' && c <= '9') {
      level = level * 10 + (c - '0');
      digits = true;
    } else if (c != ' ') {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return level;
}

}  // namespace tallowmere
