#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "checks/CheckNames.h"
#include "settings/IniFile.h"

namespace tallowmere {

// The [Checks] section of the settings: what the station must send, and how long a fault
// may last. A key left out, empty or unreadable checks nothing.
struct CheckSettings {
  static constexpr int kDefaultTriggerSeconds = 10;
  static constexpr int kDefaultReleaseSeconds = 30;
  static constexpr int kDefaultCommandTimeoutSeconds = 30;

  // Each content check's value as written, the "expected" of its alarm; empty: off.
  std::array<std::string, kCheckCount> expected;
  // PI: four hexadecimal digits, '*' where any digit will do.
  std::string piPattern;
  // PS: the names in UTF-8, without trailing blanks; empty with anyPs: any name.
  std::vector<std::string> psNames;
  bool anyPs = false;
  int pty = 0;
  bool tp = false;
  int ecc = 0;
  std::vector<int> afKhz;
  double maxAnnouncementSeconds = 0;
  double radioTextUnchangedSeconds = 0;
  double clockDriftSeconds = 0;
  double minGroupRate = 0;
  double minLevel = 0;
  double triggerSeconds = kDefaultTriggerSeconds;
  double releaseSeconds = kDefaultReleaseSeconds;
  double commandTimeoutSeconds = kDefaultCommandTimeoutSeconds;
  std::string command;

  bool configured(Check c) const { return !expected[static_cast<std::size_t>(c)].empty(); }
};

// Reads [Checks]; a value that cannot be read gives one stderr line naming the key and
// leaves that check off.
CheckSettings checkSettings(const IniFile& ini, const std::string& iniPath);

}  // namespace tallowmere
