#pragma once

#include <QTimer>
#include <array>
#include <functional>

#include "form/Timers.h"

namespace tallowmere {

// The window's three timers on QTimer; each tick is handed to `tick`.
class QtTimers : public TimerService {
 public:
  explicit QtTimers(std::function<void(TimerId)> tick);

  void start(TimerId id, int intervalMs) override;
  void stop(TimerId id) override;

 private:
  std::array<QTimer, kTimerCount> timers_;
};

}  // namespace tallowmere
