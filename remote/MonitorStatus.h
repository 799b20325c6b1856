#pragma once

#include <string_view>

#include "checks/Checks.h"
#include "display/DisplayModel.h"
#include "log/WallClock.h"
#include "remote/ReceptionCounters.h"
#include "station/StationModel.h"

namespace tallowmere {

// Everything the web server tells about the monitor at one moment.
struct MonitorStatus {
  const DisplayModel& fields;  // for drawing the window, and nothing else
  const StationModel& station;
  const ReceptionCounters& counters;
  long decoded;  // group lines decoded since start
  bool connected;
  std::string_view device;
  std::string frequency;
  std::string_view title;
  std::string_view version;
  WallTime started;
  double uptimeSeconds;
  double nowSeconds;  // on the steady clock the counters were given
  const Checks* checks = nullptr;
};

}  // namespace tallowmere
