#include "remote/RemoteEntry.h"

#include <algorithm>

namespace tallowmere {
namespace {

constexpr int kMaxVolume = 15;
constexpr std::size_t kMaxFrequencyChars = 7;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view withoutLineEnd(std::string_view body) {
  if (body.ends_with("\r\n")) return body.substr(0, body.size() - 2);
  if (body.ends_with('\n') || body.ends_with('\r')) return body.substr(0, body.size() - 1);
  return body;
}

bool isVolume(std::string_view text) {
  if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), isDigit)) return false;
  int value = 0;
  for (const char c : text) value = value * 10 + (c - '0');
  return value <= kMaxVolume;
}

bool isFrequency(std::string_view text) {
  return !text.empty() && text.size() <= kMaxFrequencyChars && text != "." &&
         std::count(text.begin(), text.end(), '.') <= 1 &&
         std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '.'; });
}

}  // namespace

RemoteEntry remoteEntry(Field box, std::string_view body) {
  const std::string_view text = withoutLineEnd(body);
  if (box == Field::txtVol) {
    if (isVolume(text)) return {std::string(text), ""};
    return {"", "the volume is a whole number from 0 to 15"};
  }
  if (isFrequency(text)) return {std::string(text), ""};
  return {"", "the frequency is digits with at most one \".\", at most 7 characters, such as 104.6"};
}

}  // namespace tallowmere
