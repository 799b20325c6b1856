#pragma once

#include <array>

namespace tallowmere {

enum class TimerId { tmrSetFreqAtStart, tmrRSSI, tmrWriteMetadata };
inline constexpr int kTimerCount = 3;

struct TimerState {
  int intervalMs;
  bool enabled;
};

// The window's three timers as created: the start-up tune after 5 s, the signal poll
// every 2 s, and the metadata writer, which the start-up tune starts.
// clang-format off
inline constexpr std::array<TimerState, kTimerCount> kTimersAsCreated{{
    {5000, true},    // tmrSetFreqAtStart
    {2000, true},    // tmrRSSI
    {20000, false},  // tmrWriteMetadata
}};
// clang-format on

// The toolkit's timers. Starting a timer makes it tick one interval from now, then once
// per interval.
class TimerService {
 public:
  virtual ~TimerService() = default;
  virtual void start(TimerId id, int intervalMs) = 0;
  virtual void stop(TimerId id) = 0;
};

}  // namespace tallowmere
