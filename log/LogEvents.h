#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace tallowmere {

// Every event the station log writes, by the name its lines carry. A new event goes here
// first: the log checks each line against this list, and tallowmere-log names it to the
// reader and accepts it in --event.
inline constexpr std::array<std::string_view, 27> kLogEvents = {
    "start",   "stop", "receiver", "tune",  "volume", "pi",          "pty",     "ps",         "radiotext",
    "af",      "ecc",  "language", "pin",   "rtplus", "ptyn",        "long_ps", "oda",        "eon",
    "traffic", "tmc",  "signal",   "clock", "alarm",  "maintenance", "file",    "diagnostic", "log_full"};

constexpr bool isLogEvent(std::string_view name) {
  return std::find(kLogEvents.begin(), kLogEvents.end(), name) != kLogEvents.end();
}

// An event name checked against the list when the program is built: a name missing from
// it does not compile.
class LogEventName {
 public:
  // Not explicit: a call writes the name as a plain literal.
  consteval LogEventName(const char* name) : name_(name) {
    if (!isLogEvent(name_)) throw "not in kLogEvents";
  }
  constexpr std::string_view name() const { return name_; }

 private:
  std::string_view name_;
};

}  // namespace tallowmere
