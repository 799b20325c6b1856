#include "platform/QtTimers.h"

namespace tallowmere {

QtTimers::QtTimers(std::function<void(TimerId)> tick) {
  for (int i = 0; i < kTimerCount; ++i) {
    // Coarse timers let the system batch wake-ups; a tick a little late is harmless.
    timers_[static_cast<std::size_t>(i)].setTimerType(Qt::CoarseTimer);
    QObject::connect(&timers_[static_cast<std::size_t>(i)], &QTimer::timeout,
                     [tick, i] { tick(static_cast<TimerId>(i)); });
  }
}

void QtTimers::start(TimerId id, int intervalMs) {
  timers_[static_cast<std::size_t>(id)].start(intervalMs);
}

void QtTimers::stop(TimerId id) {
  timers_[static_cast<std::size_t>(id)].stop();
}

}  // namespace tallowmere
