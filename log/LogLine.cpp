#include "log/LogLine.h"

#include <charconv>
#include <cstdio>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"

namespace tallowmere {
namespace {

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The length of the UTF-8 sequence at the start of `s`, or 0 when it is not one.
std::size_t utf8Length(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  const std::size_t n = lead < 0x80           ? 1
                        : (lead >> 5) == 0x6  ? 2
                        : (lead >> 4) == 0xE  ? 3
                        : (lead >> 3) == 0x1E ? 4
                                              : 0;
  if (n == 0 || n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

// A JSON string of UTF-8 text; a byte that is not part of valid UTF-8 becomes U+FFFD, so
// that every line stays valid JSON.
void appendTextString(std::string& out, std::string_view text) {
  out.push_back('"');
  while (!text.empty()) {
    const std::size_t n = utf8Length(text);
    if (n == 0) {
      out += "\\uFFFD";
      text.remove_prefix(1);
      continue;
    }
    const auto c = static_cast<unsigned char>(text[0]);
    if (n > 1) {
      out.append(text.substr(0, n));
    } else if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(text[0]);
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
      out += escaped;
    } else {
      out.push_back(text[0]);
    }
    text.remove_prefix(n);
  }
  out.push_back('"');
}

}  // namespace

std::string utcDay(WallTime time) {
  using namespace std::chrono;
  const year_month_day date{floor<days>(time)};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

LogLine::LogLine(WallTime time, std::string_view event) : time_(time), event_(event) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(time);
  const hh_mm_ss clock{ms - floor<days>(ms)};
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%sT%02d:%02d:%02d.%03dZ", utcDay(time).c_str(),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
  json_ = "{\"time\":\"";
  json_ += stamp;
  json_ += "\",\"event\":";
  appendTextString(json_, event);
}

void LogLine::appendKey(std::string_view key) {
  json_.push_back(',');
  appendTextString(json_, key);
  json_.push_back(':');
}

LogLine& LogLine::text(std::string_view key, std::string_view value) {
  appendKey(key);
  appendTextString(json_, value);
  return *this;
}

LogLine& LogLine::stationText(std::string_view key, std::string_view bytes) {
  std::string shown;
  bool differs = false;
  for (const char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    const char16_t c = rdsDisplayCharacter(byte);
    differs = differs || c != byte;
    appendUtf8(shown, c);
  }
  text(key, shown);
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
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1).ptr;
  json_.append(digits, end);
  return *this;
}

LogLine& LogLine::boolean(std::string_view key, bool value) {
  appendKey(key);
  json_ += value ? "true" : "false";
  return *this;
}

}  // namespace tallowmere
