#pragma once

#include <cstdint>
#include <string>

namespace tallowmere {

inline const std::string kEmptyPs(8, '_');
inline const std::string kEmptyRadioText(64, '_');

// The form-level state of the window that outlives a handler. Start-up gives these
// values, and every retune gives all but tunedFlag and lastChunk the same values again.
struct FormVariables {
  char tunedFlag = 'N';   // 'Y' once the first tuning command has run; opens the receive gate
  std::string lastChunk;  // the receive handler's work text of the previous event
  std::string psBuffer = kEmptyPs;          // always 8 characters
  std::string rtBufferA = kEmptyRadioText;  // always 64 characters, A/B flag "0"
  std::string rtBufferB = kEmptyRadioText;  // always 64 characters, A/B flag "1"
  std::string rtDisplayText;
  std::int16_t rtGroupCount = 0;  // 0 to 1000
  char lastAbFlag = '2';          // '2': no RadioText group since the reset
  std::int16_t trafficState = 0;
  std::int16_t lastTrafficState = 2;  // 2: nothing shown or written yet
  std::int16_t tmcSeen = 0;
  // traffic.txt content that has yet to be written; kept until a write succeeds.
  std::string pendingTrafficFile;

  // The decoder state that every retune starts again from.
  void resetDecoderState() {
    psBuffer = kEmptyPs;
    rtBufferA = kEmptyRadioText;
    rtBufferB = kEmptyRadioText;
    rtDisplayText.clear();
    lastAbFlag = '2';
    rtGroupCount = 0;
    trafficState = 0;
    lastTrafficState = 2;
    tmcSeen = 0;
  }
};

}  // namespace tallowmere
