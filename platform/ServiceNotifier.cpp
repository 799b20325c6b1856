#include "platform/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "remote/ServiceStatus.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

constexpr std::chrono::seconds kStatusInterval{2};

}  // namespace

ServiceNotifier::ServiceNotifier(const FrmMain& form, const Checks& checks)
    : form_(form), checks_(checks), active_(std::getenv("NOTIFY_SOCKET") != nullptr) {
  QObject::connect(&statusTimer_, &QTimer::timeout, [this] { send("STATUS=" + status()); });
  QObject::connect(&watchdogTimer_, &QTimer::timeout, [this] { send("WATCHDOG=1"); });
}

void ServiceNotifier::ready() {
  if (!active_) return;
  send("READY=1\nSTATUS=" + status());
  statusTimer_.start(kStatusInterval);
  std::uint64_t watchdogUsec = 0;
  if (sd_watchdog_enabled(0, &watchdogUsec) > 0) {
    watchdogTimer_.start(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::microseconds(watchdogUsec / 2)));
  }
}

void ServiceNotifier::stopping() {
  if (!active_) return;
  statusTimer_.stop();
  watchdogTimer_.stop();
  send("STOPPING=1");
}

// The groups per second since the last status line.
std::string ServiceNotifier::status() {
  const auto now = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(now - statusAt_).count();
  const long groups = form_.groupsDecoded();
  const double rate = seconds > 0 ? static_cast<double>(groups - groupsAtStatus_) / seconds : 0;
  statusAt_ = now;
  groupsAtStatus_ = groups;
  return serviceStatus({form_.connected(), form_.tunedFrequency(), form_.decoderState().psBuffer, rate,
                        checks_.raisedAlarms()});
}

// A socket that refuses is said once; the service manager then restarts the monitor when its
// watchdog runs out, or never sees it ready.
void ServiceNotifier::send(const std::string& state) {
  const int result = sd_notify(0, state.c_str());
  if (result >= 0 || failed_) return;
  failed_ = true;
  reportProblem(std::string("cannot tell the service manager how the monitor does (NOTIFY_SOCKET ") +
                std::getenv("NOTIFY_SOCKET") + ": " + std::strerror(-result) + ")");
}

}  // namespace tallowmere
