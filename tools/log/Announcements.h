#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tools/log/LogRecord.h"
#include "tools/log/Options.h"

namespace tallowmere {

// One traffic announcement: its start event and, when the log has it, its end.
struct Announcement {
  LogClock::time_point start;
  std::optional<LogClock::time_point> end;
  double seconds = 0;
  bool stillOn = false;  // no end logged: seconds is how long it had lasted at the last event
  std::string pi, ps, frequency, endedBy;
};

// Pairs the traffic start and end events of a log read in time order. A start without
// an end is still going, or was cut short by a monitor that did not stop cleanly: it
// lasted at least until the last event logged.
class AnnouncementList {
 public:
  void add(const LogRecord& record);
  // Those that started within the range and lasted at least `minSeconds`.
  std::vector<Announcement> finished(const LogOptions& options);

 private:
  void closeOpen(LogClock::time_point at, const std::string& endedBy);

  std::vector<Announcement> all_;
  bool open_ = false;
  LogClock::time_point last_;  // of the last event read
};

// One row per announcement, and after each local day its count and total duration.
void printAnnouncements(std::FILE* out, const std::vector<Announcement>& list, bool utc);

}  // namespace tallowmere
