#include "display/JsonDump.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "display/RdsCharset.h"

namespace tallowmere {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendColour(std::string& out, std::optional<Rgb> c) {
  if (!c) {
    out += "null";
    return;
  }
  out += "\"#";
  for (int shift = 20; shift >= 0; shift -= 4) out.push_back(kHex[(*c >> shift) & 0xF]);
  out.push_back('"');
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

}  // namespace

void appendFixed(std::string& out, double value, int decimals) {
  char digits[32];
  out.append(digits,
             std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals).ptr);
}

void appendJsonText(std::string& out, std::string_view text) {
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

void appendJsonString(std::string& out, std::string_view bytes) {
  out.push_back('"');
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(ch);
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\u00";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    } else {
      out.push_back(ch);
    }
  }
  out.push_back('"');
}

void appendFieldJson(std::string& out, Field f, const FieldState& s, FieldText shown) {
  out += "{\"text\": ";
  appendJsonString(out, s.text);
  if (shown == FieldText::WithShown) {
    out += ", \"shown\": ";
    appendJsonText(out, shownTextUtf8(f, s.text));
  }
  out += ", \"fg\": ";
  appendColour(out, s.foreground);
  out += ", \"bg\": ";
  appendColour(out, s.background);
  out += s.visible ? ", \"visible\": true}" : ", \"visible\": false}";
}

void appendFieldsJson(std::string& out, const DisplayModel& fields, FieldText shown) {
  out += "{";
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (i > 0) out += ", ";
    appendJsonString(out, nameOf(f));
    out += ": ";
    appendFieldJson(out, f, fields[f], shown);
  }
  out += "}";
}

std::string dumpJson(const DisplayModel& fields, const std::vector<std::string>& sent, long groupsDecoded) {
  std::string out = "{\"fields\": ";
  appendFieldsJson(out, fields, FieldText::BytesOnly);
  out += ", \"sent\": [";
  for (std::size_t i = 0; i < sent.size(); ++i) {
    if (i > 0) out += ", ";
    appendJsonString(out, sent[i]);
  }
  out += "], \"decoded\": ";
  out += std::to_string(groupsDecoded);
  out += "}\n";
  return out;
}

}  // namespace tallowmere
