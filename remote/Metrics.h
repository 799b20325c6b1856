#pragma once

#include <map>
#include <string>

#include "output/AtomicFileWriter.h"
#include "remote/MonitorStatus.h"

namespace tallowmere {

using FileHealthByName = std::map<std::string, FileHealth, std::less<>>;

struct WebClients {
  int state = 0;   // on /ws/state
  int groups = 0;  // on /ws/groups
};

// The monitor's metrics in the Prometheus text exposition format (version 0.0.4).
std::string metricsText(const MonitorStatus& status, const FileHealthByName& files, WebClients clients);

}  // namespace tallowmere
