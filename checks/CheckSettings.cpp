#include "checks/CheckSettings.h"

#include <cctype>
#include <cmath>
#include <functional>

#include "settings/Diagnostics.h"
#include "settings/HexDigit.h"
#include "settings/NumberText.h"
#include "settings/TrailingBlanks.h"

namespace tallowmere {
namespace {

constexpr std::string_view kSection = "Checks";
constexpr int kMinAfKhz = 87500;
constexpr int kMaxAfKhz = 108000;

std::optional<int> hexDigits(std::string_view text, std::size_t count) {
  if (text.size() != count) return std::nullopt;
  int value = 0;
  for (char c : text) {
    const int digit = hexDigitValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

std::optional<double> numberFrom(std::string_view text, double low, double high) {
  const auto number = readWholeNumber(text);
  if (!number || number->negative) return std::nullopt;
  const double value = number->value();
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool readPi(std::string_view text, CheckSettings& s) {
  if (text.size() != 4) return false;
  for (char c : text) {
    if (c != '*' && hexDigitValue(c) < 0) return false;
    s.piPattern += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return true;
}

bool readPs(std::string_view text, CheckSettings& s) {
  if (text == "*") return s.anyPs = true;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t bar = std::min(text.find('|', start), text.size());
    const std::string name(withoutTrailingBlanks(text.substr(start, bar - start)));
    if (name.empty()) return false;
    s.psNames.push_back(name);
    start = bar + 1;
  }
  return true;
}

bool readAf(std::string_view text, CheckSettings& s) {
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const auto mhz = numberFrom(text.substr(start, comma - start), kMinAfKhz / 1000.0, kMaxAfKhz / 1000.0);
    if (!mhz) return false;
    s.afKhz.push_back(static_cast<int>(std::lround(*mhz * 10)) * 100);
    start = comma + 1;
  }
  return true;
}

// One key: how it is read, what its alarm calls expected, and what the stderr line says.
struct Key {
  std::string_view name;
  Check check;
  std::string_view wanted;  // "... is not WANTED"
  std::function<bool(std::string_view, CheckSettings&)> read;
  std::string_view expectedBefore;  // around the value in "expected"
  std::string_view expectedAfter;
};

std::function<bool(std::string_view, CheckSettings&)> number(double CheckSettings::*field, double low,
                                                             double high, double scale = 1) {
  return [=](std::string_view text, CheckSettings& s) {
    const auto value = numberFrom(text, low, high);
    if (value) s.*field = *value * scale;
    return value.has_value();
  };
}

const std::vector<Key>& keys() {
  static const std::vector<Key> kKeys = {
      {"PI", Check::pi, "four hexadecimal digits or *", readPi, "", ""},
      {"PS", Check::ps, "names separated by |", readPs, "", ""},
      {"PTY", Check::pty, "a programme type from 0 to 31",
       [](std::string_view t, CheckSettings& s) {
         const auto v = numberFrom(t, 0, 31);
         if (v && *v == std::floor(*v)) s.pty = static_cast<int>(*v);
         return v && *v == std::floor(*v);
       },
       "", ""},
      {"TP", Check::tp, "0 or 1",
       [](std::string_view t, CheckSettings& s) { return (s.tp = t == "1") || t == "0"; }, "", ""},
      {"ECC", Check::ecc, "two hexadecimal digits",
       [](std::string_view t, CheckSettings& s) {
         const auto v = hexDigits(t, 2);
         s.ecc = v.value_or(0);
         return v.has_value();
       },
       "", ""},
      {"AF", Check::af, "frequencies in MHz from 87.5 to 108 separated by commas", readAf, "", ""},
      {"TMC", Check::tmc, "yes or no",
       [](std::string_view t, CheckSettings&) { return equalsIgnoringCase(t, "yes"); }, "", ""},
      {"MaxAnnouncement", Check::announcement, "a number of minutes",
       number(&CheckSettings::maxAnnouncementSeconds, 0.1, 1440, 60), "at most ", " min"},
      {"RadioTextUnchanged", Check::radiotext, "a number of minutes",
       number(&CheckSettings::radioTextUnchangedSeconds, 0.1, 10080, 60), "changed within ", " min"},
      {"ClockDrift", Check::clock, "a number of seconds", number(&CheckSettings::clockDriftSeconds, 0, 86400),
       "within ", " s"},
      {"MinGroupRate", Check::group_rate, "a number of groups per second",
       number(&CheckSettings::minGroupRate, 0.1, 12), "at least ", " groups/s"},
      {"MinLevel", Check::level, "a level in dBuV", number(&CheckSettings::minLevel, 0, 120), "at least ",
       " dBuV"},
  };
  return kKeys;
}

void readSeconds(const IniFile& ini, const std::string& iniPath, std::string_view key, double& field) {
  const auto text = ini.value(kSection, key);
  if (!text || text->empty()) return;
  if (const auto value = numberFrom(*text, 0, 86400)) {
    field = *value;
  } else {
    reportProblem(iniPath + ": [Checks] " + std::string(key) + " \"" + *text +
                  "\" is not a number of seconds; it stays " + std::to_string(static_cast<int>(field)));
  }
}

}  // namespace

CheckSettings checkSettings(const IniFile& ini, const std::string& iniPath) {
  CheckSettings s;
  s.expected[static_cast<std::size_t>(Check::receiver)] = "connected";
  s.expected[static_cast<std::size_t>(Check::rds)] = "groups";
  if (ini.status() != IniFile::Status::Read) return s;
  for (const Key& key : keys()) {
    const auto text = ini.value(kSection, key.name);
    if (!text || text->empty() || (key.check == Check::tmc && equalsIgnoringCase(*text, "no"))) continue;
    if (key.read(*text, s)) {
      s.expected[static_cast<std::size_t>(key.check)] =
          std::string(key.expectedBefore) + *text + std::string(key.expectedAfter);
    } else {
      reportProblem(iniPath + ": [Checks] " + std::string(key.name) + " \"" + *text + "\" is not " +
                    std::string(key.wanted) + "; the " + std::string(checkName(key.check)) + " check is off");
    }
  }
  readSeconds(ini, iniPath, "Trigger", s.triggerSeconds);
  readSeconds(ini, iniPath, "Release", s.releaseSeconds);
  readSeconds(ini, iniPath, "CommandTimeout", s.commandTimeoutSeconds);
  s.command = ini.value(kSection, "Command").value_or("");
  return s;
}

}  // namespace tallowmere
