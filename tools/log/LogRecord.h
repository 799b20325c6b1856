#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tallowmere {

// One line of the station log, read strictly: a JSON object whose values are strings,
// numbers, true, false, null, or an object or list kept as written, with a "time" in the log's own form
// (2025-01-01T12:00:00.000Z) and an "event".
struct LogRecord {
  std::chrono::system_clock::time_point time;
  std::string event;
  // The other keys in their order, each value as text (a string without its quotation
  // marks and with its escapes resolved, anything else as written).
  std::vector<std::pair<std::string, std::string>> fields;

  std::string field(std::string_view key) const;
};

// The record of a line, or why it is not one.
struct ParsedLine {
  std::optional<LogRecord> record;
  std::string problem;
};
ParsedLine parseLogLine(std::string_view line);

}  // namespace tallowmere
