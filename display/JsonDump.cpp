#include "display/JsonDump.h"

#include <optional>

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

}  // namespace

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

std::string dumpJson(const DisplayModel& fields, const std::vector<std::string>& sent, long groupsDecoded) {
  std::string out = "{\"fields\": {";
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    const FieldState& s = fields[f];
    if (i > 0) out += ", ";
    appendJsonString(out, nameOf(f));
    out += ": {\"text\": ";
    appendJsonString(out, s.text);
    out += ", \"fg\": ";
    appendColour(out, s.foreground);
    out += ", \"bg\": ";
    appendColour(out, s.background);
    out += s.visible ? ", \"visible\": true}" : ", \"visible\": false}";
  }
  out += "}, \"sent\": [";
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
