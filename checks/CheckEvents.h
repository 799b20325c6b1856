#pragma once

#include <chrono>
#include <string>

#include "checks/CheckNames.h"

namespace tallowmere {

using CheckTime = std::chrono::system_clock::time_point;

enum class Judged { ok, failing, unknown };

// An alarm raised or cleared.
struct AlarmEvent {
  Check check = Check::pi;
  bool raised = false;
  std::string expected;
  std::string received;
  CheckTime time;
  double durationSeconds = 0;  // at a clear: how long it was raised
};

// Hears of the checks' alarms: the station log, the command runner. Every call does
// nothing unless overridden.
class CheckEvents {
 public:
  virtual ~CheckEvents() = default;
  virtual void alarmChanged(const AlarmEvent&) {}
  // The maintenance file appeared (true) or went (false).
  virtual void maintenanceChanged(bool) {}
};

}  // namespace tallowmere
