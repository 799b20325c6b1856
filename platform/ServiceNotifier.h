#pragma once

#include <QTimer>
#include <chrono>
#include <string>

#include "checks/Checks.h"
#include "form/FrmMain.h"

namespace tallowmere {

// Tells systemd how the service does, through sd_notify: READY=1 once start-up has run, a
// STATUS= line every 2 s for `systemctl status`, WATCHDOG=1 from the event loop at half
// the watchdog interval (so that a hung loop is killed and restarted) and STOPPING=1 at a
// clean stop. Without NOTIFY_SOCKET (a terminal, a desktop) it does nothing at all.
class ServiceNotifier {
 public:
  ServiceNotifier(const FrmMain& form, const Checks& checks);

  void ready();
  void stopping();

 private:
  std::string status();
  void send(const std::string& state);

  const FrmMain& form_;
  const Checks& checks_;
  bool active_;
  bool failed_ = false;
  QTimer statusTimer_;
  QTimer watchdogTimer_;
  long groupsAtStatus_ = 0;
  std::chrono::steady_clock::time_point statusAt_ = std::chrono::steady_clock::now();
};

}  // namespace tallowmere
