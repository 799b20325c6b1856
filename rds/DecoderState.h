#pragma once

#include <cstdint>
#include <string>

namespace tallowmere {

inline const std::string kEmptyPs(8, '_');
inline const std::string kEmptyRadioText(64, '_');
// The traffic state last shown and written before any: the next one always differs.
inline constexpr std::int16_t kTrafficStateUnknown = 2;

// What the decoders have learnt about the station, kept between groups. Start-up and
// every retune start it again from these values.
struct DecoderState {
  std::string psBuffer = kEmptyPs;          // always 8 characters
  std::string rtBufferA = kEmptyRadioText;  // always 64 characters, A/B flag "0"
  std::string rtBufferB = kEmptyRadioText;  // always 64 characters, A/B flag "1"
  std::string rtDisplayText;
  std::int16_t rtGroupCount = 0;  // 0 to 1000
  char lastAbFlag = '2';          // '2': no RadioText group since the reset
  std::int16_t trafficState = 0;
  std::int16_t lastTrafficState = kTrafficStateUnknown;
  std::int16_t tmcSeen = 0;

  bool operator==(const DecoderState&) const = default;
};

}  // namespace tallowmere
