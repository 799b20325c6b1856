#include "station/StationJson.h"

#include <array>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"
#include "rds/ProgrammeTypes.h"
#include "station/ApplicationNames.h"
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

void appendRadioTextPlus(std::string& out, const RadioTextPlus& item) {
  out += item.running ? "{\"running\": true" : "{\"running\": false";
  out += ", \"toggle\": " + std::to_string(item.toggle) + ", \"tags\": {";
  for (const auto& [contentType, text] : item.tags) {
    key(out, radioTextPlusClassName(contentType));
    appendText(out, rdsTextUtf8(text));
  }
  out += "}}";
}

void appendApplications(std::string& out, const std::vector<OpenDataApplication>& applications) {
  out += '[';
  for (const OpenDataApplication& a : applications) {
    if (out.back() != '[') out += ", ";
    out += "{\"aid\": \"" + hexText(a.aid, 4) + "\", \"name\": ";
    const std::string_view name = applicationName(a.aid);
    if (name.empty()) {
      out += "null";
    } else {
      appendText(out, name);
    }
    appendOptional(out, "group", a.group, [&out](int group) { appendText(out, groupTypeName(group)); });
    out += '}';
  }
  out += ']';
}

void appendOtherNetwork(std::string& out, const EonNetwork& n) {
  out += "{\"pi\": \"" + hexText(n.pi, 4) + '"';
  appendOptional(out, "ps", n.ps, [&out](const std::string& ps) { appendText(out, rdsTextUtf8(ps)); });
  appendOptional(out, "pty", n.pty, [&out](int pty) { out += std::to_string(pty); });
  appendBool(out, "tp", n.tp);
  appendBool(out, "ta", n.ta);
  key(out, "af");
  appendNumbers(out, n.af);
  key(out, "mapped");
  out += '[';
  for (const MappedFrequency& m : n.mapped) {
    if (out.back() != '[') out += ", ";
    out += "{\"tuned\": " + std::to_string(m.tuned) + ", \"other\": " + std::to_string(m.other) + '}';
  }
  out += ']';
  appendOptional(out, "pin", n.pin, [&out](const ProgrammeItemNumber& pin) { appendPinJson(out, pin); });
  appendOptional(out, "linkage", n.linkage, [&out](std::uint16_t linkage) {
    out += "{\"la\": " + std::string(linkage & 0x8000 ? "true" : "false") +
           ", \"eg\": " + (linkage & 0x4000 ? "true" : "false") +
           ", \"ils\": " + (linkage & 0x2000 ? "true" : "false") +
           ", \"lsn\": " + std::to_string(linkage & 0xFFF) + '}';
  });
  out += '}';
}

// Scope of a TMC service: international, national, regional, urban, bits 3 to 0.
void appendTmc(std::string& out, const TmcService& tmc) {
  out += '{';
  appendOptional(out, "ltn", tmc.locationTable, [&out](int ltn) { out += std::to_string(ltn); });
  appendOptional(out, "sid", tmc.serviceId, [&out](int sid) { out += std::to_string(sid); });
  appendBool(out, "encrypted",
             tmc.locationTable ? std::optional<bool>(*tmc.locationTable == 0) : std::optional<bool>());
  appendOptional(out, "scope", tmc.scope, [&out](unsigned scope) {
    out += '[';
    constexpr std::array<std::string_view, 4> kScopes = {"international", "national", "regional", "urban"};
    for (std::size_t i = 0; i < kScopes.size(); ++i) {
      if ((scope >> (3 - i) & 1u) == 0) continue;
      if (out.back() != '[') out += ", ";
      appendText(out, kScopes[i]);
    }
    out += ']';
  });
  key(out, "messages");
  out += std::to_string(tmc.messages.size()) + '}';
}

}  // namespace

std::string groupTypeName(int index) {
  return std::to_string(index % 16) + "AB"[index / 16];
}

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
    key(out, groupTypeName(static_cast<int>(type)));
    out += std::to_string(s.groupsByType[type]);
  }
  out += '}';
  key(out, "group_rate");
  appendFixed(out, s.groupRate, 1);
  appendOptional(out, "ptyn", s.ptyn, text);
  appendOptional(out, "long_ps", s.longPs, [&out](const std::string& t) { appendText(out, t); });
  appendOptional(out, "rtplus", s.radioTextPlus,
                 [&out](const RadioTextPlus& r) { appendRadioTextPlus(out, r); });
  key(out, "oda");
  appendApplications(out, s.applications);
  key(out, "eon");
  out += '[';
  for (const EonNetwork& n : s.otherNetworks) {
    if (out.back() != '[') out += ", ";
    appendOtherNetwork(out, n);
  }
  out += ']';
  appendOptional(out, "tmc", s.tmc, [&out](const TmcService& t) { appendTmc(out, t); });
  out += '}';
}

std::string stationJson(const Station& station) {
  std::string out;
  appendStationJson(out, station);
  return out;
}

}  // namespace tallowmere
