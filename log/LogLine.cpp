#include "log/LogLine.h"

#include <cstdio>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"

namespace tallowmere {

std::string utcDay(WallTime time) {
  using namespace std::chrono;
  const year_month_day date{floor<days>(time)};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::string timeStamp(WallTime time) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(time);
  const hh_mm_ss clock{ms - floor<days>(ms)};
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%sT%02d:%02d:%02d.%03dZ", utcDay(time).c_str(),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
  return stamp;
}

LogLine::LogLine(WallTime time, LogEventName event) : time_(time), event_(event.name()) {
  json_ = "{\"time\":\"" + timeStamp(time) + "\",\"event\":";
  appendJsonText(json_, event_);
}

void LogLine::appendKey(std::string_view key) {
  json_.push_back(',');
  appendJsonText(json_, key);
  json_.push_back(':');
}

LogLine& LogLine::text(std::string_view key, std::string_view value) {
  appendKey(key);
  appendJsonText(json_, value);
  return *this;
}

LogLine& LogLine::stationText(std::string_view key, std::string_view bytes) {
  bool differs = false;
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    differs = differs || rdsDisplayCharacter(byte) != byte;
  }
  text(key, rdsTextUtf8(bytes));
  if (differs) {
    appendKey("raw");
    appendJsonString(json_, bytes);
  }
  return *this;
}

LogLine& LogLine::integer(std::string_view key, long long value) {
  appendKey(key);
  json_ += std::to_string(value);
  return *this;
}

LogLine& LogLine::seconds(std::string_view key, double value) {
  appendKey(key);
  appendFixed(json_, value, 1);
  return *this;
}

LogLine& LogLine::boolean(std::string_view key, bool value) {
  appendKey(key);
  json_ += value ? "true" : "false";
  return *this;
}

LogLine& LogLine::json(std::string_view key, std::string_view value) {
  appendKey(key);
  json_ += value;
  return *this;
}

}  // namespace tallowmere
