#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tallowmere {

using LogClock = std::chrono::system_clock;

// What tallowmere-log was asked for.
struct LogOptions {
  std::string folder = "log";
  std::optional<LogClock::time_point> since;  // first instant shown
  std::optional<LogClock::time_point> until;  // last instant shown
  std::set<std::string> events;               // empty: every event
  bool utc = false;                           // dates read and shown in UTC, not local time
  bool json = false;
  bool follow = false;
  bool announcements = false;
  double minSeconds = 0;
  bool help = false;
};

// The options, or an error text for a command line that cannot be used.
struct ParsedOptions {
  LogOptions options;
  std::string error;
};
ParsedOptions parseLogOptions(const std::vector<std::string>& args);

// The events the monitor logs, "start, stop, ...", as --event takes them.
std::string knownEvents();

// A date ("2025-03-30") or date and time ("2025-03-30 14:05" or with seconds, "T" allowed
// in between) in local time or UTC. A date alone is the start of its day, or with
// `endOfDay` its last instant.
std::optional<LogClock::time_point> readDateTime(const std::string& text, bool utc, bool endOfDay);

// "2025-03-30 14:05:09" in local time or UTC.
std::string shownTime(LogClock::time_point time, bool utc);
// The local (or UTC) day of a time, "2025-03-30".
std::string shownDay(LogClock::time_point time, bool utc);

}  // namespace tallowmere
