#pragma once

#include <string>
#include <string_view>

#include "log/LogEvents.h"
#include "log/WallClock.h"

namespace tallowmere {

// The UTC day of a time as "YYYY-MM-DD", the name of its day file without ".jsonl".
std::string utcDay(WallTime time);
// A time as the log stamps it: "2025-01-01T12:00:00.000Z".
std::string timeStamp(WallTime time);

// One event of the station log as one line of JSON ended by LF:
// {"time":"2025-01-01T12:00:00.000Z","event":"ps",...}. Keys are added in order.
class LogLine {
 public:
  LogLine(WallTime time, LogEventName event);

  // A text of the monitor's own (a message, a path, a setting), kept as UTF-8 where it is.
  LogLine& text(std::string_view key, std::string_view value);
  // Bytes a station sent, drawn as the window draws them through the RDS character table;
  // where that differs from the bytes, "raw" beside it holds each byte as a code point.
  LogLine& stationText(std::string_view key, std::string_view bytes);
  LogLine& integer(std::string_view key, long long value);
  // Seconds with one decimal.
  LogLine& seconds(std::string_view key, double value);
  LogLine& boolean(std::string_view key, bool value);
  // A value that is JSON already, an object or a list.
  LogLine& json(std::string_view key, std::string_view value);

  WallTime time() const { return time_; }
  std::string_view event() const { return event_; }
  // The finished line, LF included.
  std::string str() const { return json_ + "}\n"; }

 private:
  void appendKey(std::string_view key);

  WallTime time_;
  std::string event_;
  std::string json_;
};

}  // namespace tallowmere
