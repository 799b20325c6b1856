#pragma once

#include <QSocketNotifier>
#include <functional>

namespace tallowmere {

// SIGTERM (systemd stopping the service) and SIGINT (Ctrl+C) run `onStop` on the event
// loop, so that the monitor ends as cleanly as when its window is closed. The handler
// only writes a byte to a pipe; the loop reads it.
class StopSignals {
 public:
  explicit StopSignals(std::function<void()> onStop);

 private:
  std::function<void()> onStop_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tallowmere
