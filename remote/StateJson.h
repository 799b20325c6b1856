#pragma once

#include <string>

#include "remote/MonitorStatus.h"

namespace tallowmere {

// The parts of the state the web page and GET /api/state share, each a JSON object:
// the receiver ({"connected", "device", "frequency", "title"}), the monitor ({"version",
// "uptime", "started"}) and the counters ({"groups", "uncut", "byType",
// "secondsSinceLastGroup"}).
std::string receiverJson(const MonitorStatus& status);
std::string monitorJson(const MonitorStatus& status);
std::string countersJson(const MonitorStatus& status);

// The whole state: {"fields": {...}, "decoded": N, "receiver": ..., "monitor": ...,
// "counters": ..., "station": ..., "checks": ...}. The fields are those of the replay
// driver's dump, each with "shown" added: its text as the window draws it.
std::string stateJson(const MonitorStatus& status);

// The samples numbered `first` and later as [[unixSeconds, level or null, groupsPerSecond], ...].
std::string samplesJson(const ReceptionCounters& counters, long long first);

}  // namespace tallowmere
