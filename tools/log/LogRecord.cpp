#include "tools/log/LogRecord.h"

#include <cstdio>
#include <ctime>

#include "settings/HexDigit.h"

namespace tallowmere {
namespace {

// A cursor over one line that reads the few JSON forms the log writes.
class JsonCursor {
 public:
  explicit JsonCursor(std::string_view text) : text_(text) {}

  void skipBlanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }
  bool take(char c) {
    skipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool atEnd() {
    skipBlanks();
    return at_ == text_.size();
  }
  bool string(std::string& out);
  bool scalar(std::string& out);
  bool nested(std::string& out);

 private:
  bool hex4(unsigned& value);
  void appendUtf8(std::string& out, unsigned c);

  std::string_view text_;
  std::size_t at_ = 0;
};

bool JsonCursor::hex4(unsigned& value) {
  if (at_ + 4 > text_.size()) return false;
  value = 0;
  for (int i = 0; i < 4; ++i) {
    const char c = text_[at_++];
    const int digit = hexDigitValue(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

void JsonCursor::appendUtf8(std::string& out, unsigned c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool JsonCursor::string(std::string& out) {
  out.clear();
  if (!take('"')) return false;
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    if (c == '"') return true;
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (at_ >= text_.size()) return false;
    const char e = text_[at_++];
    unsigned code = 0;
    switch (e) {
      case '"':
      case '\\':
      case '/':
        out.push_back(e);
        break;
      case 'b':
        out.push_back('\b');
        break;
      case 'f':
        out.push_back('\f');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 't':
        out.push_back('\t');
        break;
      case 'u':
        if (!hex4(code)) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
          unsigned low = 0;
          if (!take('\\') || !take('u') || !hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        appendUtf8(out, code);
        break;
      default:
        return false;
    }
  }
  return false;
}

// A number, true, false or null, as written.
// An object or a list (the AF list, the programme item), kept as written.
bool JsonCursor::nested(std::string& out) {
  skipBlanks();
  if (at_ >= text_.size() || (text_[at_] != '{' && text_[at_] != '[')) return false;
  const std::size_t from = at_;
  int depth = 0;
  std::string text;
  while (at_ < text_.size()) {
    const char c = text_[at_];
    if (c == '"') {
      if (!string(text)) return false;
      continue;
    }
    ++at_;
    if (c == '{' || c == '[') ++depth;
    if ((c == '}' || c == ']') && --depth == 0) {
      out.assign(text_.substr(from, at_ - from));
      return true;
    }
  }
  return false;
}

bool JsonCursor::scalar(std::string& out) {
  skipBlanks();
  for (const std::string_view word : {"true", "false", "null"}) {
    if (text_.substr(at_).starts_with(word)) {
      out = word;
      at_ += word.size();
      return true;
    }
  }
  const std::size_t from = at_;
  if (at_ < text_.size() && text_[at_] == '-') ++at_;
  const std::size_t digits = at_;
  while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
  if (at_ == digits) return false;
  if (at_ < text_.size() && text_[at_] == '.') {
    const std::size_t fraction = ++at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    if (at_ == fraction) return false;
  }
  out = text_.substr(from, at_ - from);
  return true;
}

std::optional<std::chrono::system_clock::time_point> logTime(const std::string& text) {
  std::tm tm{};
  int ms = 0;
  char z = 0;
  if (text.size() != 24 ||
      std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c", &tm.tm_year, &tm.tm_mon, &tm.tm_mday,
                  &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &ms, &z) != 8 ||
      z != 'Z') {
    return {};
  }
  const std::tm asRead = tm;
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  const std::time_t t = ::timegm(&tm);
  if (tm.tm_mday != asRead.tm_mday || tm.tm_hour != asRead.tm_hour || tm.tm_sec != asRead.tm_sec) return {};
  return std::chrono::system_clock::from_time_t(t) + std::chrono::milliseconds(ms);
}

}  // namespace

std::string LogRecord::field(std::string_view key) const {
  for (const auto& [k, v] : fields) {
    if (k == key) return v;
  }
  return {};
}

ParsedLine parseLogLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  JsonCursor in(line);
  if (!in.take('{')) return {{}, "not a JSON object"};
  LogRecord record;
  std::string time;
  bool first = true;
  while (!in.take('}')) {
    if (!first && !in.take(',')) return {{}, "a \",\" or \"}\" is missing"};
    first = false;
    std::string key;
    std::string value;
    if (!in.string(key) || !in.take(':')) return {{}, "a key is not a string followed by \":\""};
    if (!in.string(value) && !in.nested(value) && !in.scalar(value))
      return {{}, "the value of \"" + key + "\" is not valid"};
    if (key == "time") {
      time = value;
    } else if (key == "event") {
      record.event = value;
    } else {
      record.fields.emplace_back(std::move(key), std::move(value));
    }
  }
  if (!in.atEnd()) return {{}, "text after the object"};
  const auto at = logTime(time);
  if (!at) return {{}, "no \"time\" of the form 2025-01-01T12:00:00.000Z"};
  if (record.event.empty()) return {{}, "no \"event\""};
  record.time = *at;
  return {std::move(record), {}};
}

}  // namespace tallowmere
