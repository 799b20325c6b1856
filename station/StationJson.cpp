#include "station/StationJson.h"

#include <charconv>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"
#include "rds/ProgrammeTypes.h"
#include "station/Countries.h"

namespace tallowmere {
namespace {

constexpr int kMjdOfUnixEpoch = 40587;  // 1970-01-01

void appendTwoDigits(std::string& out, int n) {
  out.push_back(static_cast<char>('0' + n / 10 % 10));
  out.push_back(static_cast<char>('0' + n % 10));
}

// Appends ", "KEY": " (no comma before the first key).
void key(std::string& out, std::string_view name) {
  if (out.back() != '{') out += ", ";
  out += '"';
  out += name;
  out += "\": ";
}

void appendText(std::string& out, std::string_view text) {
  appendJsonText(out, text);
}

template <typename T, typename Append>
void appendOptional(std::string& out, std::string_view name, const std::optional<T>& value, Append append) {
  key(out, name);
  if (value) {
    append(*value);
  } else {
    out += "null";
  }
}

void appendBool(std::string& out, std::string_view name, const std::optional<bool>& value) {
  appendOptional(out, name, value, [&out](bool b) { out += b ? "true" : "false"; });
}

void appendNumbers(std::string& out, const std::vector<int>& numbers) {
  out += '[';
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) out += ", ";
    out += std::to_string(numbers[i]);
  }
  out += ']';
}

}  // namespace

void appendAfJson(std::string& out, const AlternativeFrequencies& af) {
  out += "{\"method\": \"";
  out += af.method;
  if (af.method == 'A') {
    out += "\", \"frequencies\": ";
    appendNumbers(out, af.frequencies);
    out += '}';
    return;
  }
  out += "\", \"lists\": [";
  for (std::size_t i = 0; i < af.lists.size(); ++i) {
    if (i > 0) out += ", ";
    out += "{\"tuned\": " + std::to_string(af.lists[i].tuned) + ", \"same\": ";
    appendNumbers(out, af.lists[i].same);
    out += ", \"regional\": ";
    appendNumbers(out, af.lists[i].regional);
    out += '}';
  }
  out += "]}";
}

void appendPinJson(std::string& out, const ProgrammeItemNumber& pin) {
  out += "{\"day\": " + std::to_string(pin.day) + ", \"hour\": " + std::to_string(pin.hour) +
         ", \"minute\": " + std::to_string(pin.minute) + "}";
}

std::string hexText(unsigned value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    text[static_cast<std::size_t>(i)] = "0123456789ABCDEF"[value & 0xF];
  return text;
}

std::chrono::sys_seconds clockUtc(const StationClock& clock) {
  using namespace std::chrono;
  return sys_days{days{clock.modifiedJulianDay - kMjdOfUnixEpoch}} + hours{clock.hour} +
         minutes{clock.minute};
}

std::string clockLocalText(const StationClock& clock) {
  using namespace std::chrono;
  const sys_seconds local = clockUtc(clock) + minutes{30 * clock.offsetHalfHours};
  const sys_days day = floor<days>(local);
  const year_month_day date{day};
  const hh_mm_ss<seconds> time{local - day};
  const int year = static_cast<int>(date.year());
  std::string text;
  appendTwoDigits(text, year / 100);
  appendTwoDigits(text, year);
  text += '-';
  appendTwoDigits(text, static_cast<int>(static_cast<unsigned>(date.month())));
  text += '-';
  appendTwoDigits(text, static_cast<int>(static_cast<unsigned>(date.day())));
  text += 'T';
  appendTwoDigits(text, static_cast<int>(time.hours().count()));
  text += ':';
  appendTwoDigits(text, static_cast<int>(time.minutes().count()));
  text += ":00";
  if (clock.offsetHalfHours == 0) return text + "Z";
  const int magnitude = std::abs(clock.offsetHalfHours);
  text += clock.offsetHalfHours < 0 ? '-' : '+';
  appendTwoDigits(text, magnitude / 2);
  text += magnitude % 2 == 0 ? ":00" : ":30";
  return text;
}

std::size_t alternativeFrequencyCount(const Station& station, int tunedKhz) {
  if (!station.af) return 0;
  if (station.af->method == 'A') return station.af->frequencies.size();
  for (const auto& list : station.af->lists) {
    if (list.tuned == tunedKhz) return list.same.size() + list.regional.size();
  }
  return 0;
}

void appendStationJson(std::string& out, const Station& s) {
  out += '{';
  appendOptional(out, "pi", s.pi, [&out](std::uint16_t pi) { appendText(out, hexText(pi, 4)); });
  key(out, "country");
  const std::string_view country = s.pi && s.ecc ? countryCode(*s.pi, *s.ecc) : std::string_view{};
  if (country.empty()) {
    out += "null";
  } else {
    appendText(out, country);
  }
  appendOptional(out, "ecc", s.ecc,
                 [&out](int ecc) { appendText(out, hexText(static_cast<unsigned>(ecc), 2)); });
  key(out, "language");
  const std::string_view language = s.language ? languageName(*s.language) : std::string_view{};
  if (language.empty()) {
    out += "null";
  } else {
    appendText(out, language);
  }
  appendOptional(out, "pin", s.pin, [&out](const ProgrammeItemNumber& pin) { appendPinJson(out, pin); });
  appendOptional(out, "ps", s.ps, [&out](const std::string& ps) { appendText(out, rdsTextUtf8(ps)); });
  appendOptional(out, "pty", s.pty, [&out](int pty) { out += std::to_string(pty); });
  appendOptional(out, "pty_name", s.pty, [&out](int pty) { appendText(out, programmeTypeName(pty)); });
  appendBool(out, "tp", s.tp);
  appendBool(out, "ta", s.ta);
  appendOptional(out, "ms", s.music, [&out](bool music) { out += music ? "\"music\"" : "\"speech\""; });
  key(out, "di");
  out += '{';
  appendBool(out, "stereo", s.di.stereo);
  appendBool(out, "artificial_head", s.di.artificialHead);
  appendBool(out, "compressed", s.di.compressed);
  appendBool(out, "dynamic_pty", s.di.dynamicPty);
  out += '}';
  appendOptional(out, "af", s.af, [&out](const AlternativeFrequencies& af) { appendAfJson(out, af); });
  key(out, "radiotext");
  out += '{';
  const auto text = [&out](const std::string& t) { appendText(out, rdsTextUtf8(t)); };
  appendOptional(out, "a", s.radioText[0], text);
  appendOptional(out, "b", s.radioText[1], text);
  appendOptional(out, "current", s.currentRadioText(), text);
  out += '}';
  appendOptional(out, "clock", s.clock,
                 [&out](const StationClock& c) { appendText(out, clockLocalText(c)); });
  key(out, "groups");
  out += '{';
  for (std::size_t type = 0; type < s.groupsByType.size(); ++type) {
    if (s.groupsByType[type] == 0) continue;
    key(out, std::to_string(type % 16) + "AB"[type / 16]);
    out += std::to_string(s.groupsByType[type]);
  }
  out += '}';
  key(out, "group_rate");
  char digits[32];
  out.append(digits,
             std::to_chars(digits, digits + sizeof digits, s.groupRate, std::chars_format::fixed, 1).ptr);
  out += '}';
}

std::string stationJson(const Station& station) {
  std::string out;
  appendStationJson(out, station);
  return out;
}

}  // namespace tallowmere
