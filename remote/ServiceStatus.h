#pragma once

#include <string>
#include <vector>

namespace tallowmere {

// What the service manager's status line tells an operator at one moment.
struct ServiceFacts {
  bool connected = false;
  std::string frequency;  // of the last tuning command in MHz, "" before the first
  std::string psBytes;    // the programme service name as received, underscores where none came yet
  double groupsPerSecond = 0;
  std::vector<std::string> alarms;
};

// The one line `systemctl status` shows, as "receiver connected, 88.8 MHz, PS 104.6RTL,
// 11.4 groups/s, alarms: none"; the name as the window draws it, in UTF-8.
std::string serviceStatus(const ServiceFacts& facts);

}  // namespace tallowmere
