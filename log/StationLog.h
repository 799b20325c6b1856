#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "log/DayFiles.h"
#include "log/StationWatcher.h"
#include "settings/Diagnostics.h"
#include "settings/IniFile.h"

namespace tallowmere {

// Who sent a tuning or volume command.
enum class ChangeBy { StartUpTimer, Button, Reconnect, Remote };

// What the start event records.
struct LogStart {
  std::string version;
  std::string folder;
  std::string device;
  std::string frequency;
};

// The station log in log/ of the working folder: the monitor's own events (start, stop,
// tune, volume, receiver, file, diagnostic) and the station's (through the watcher),
// one JSON line each. It takes every stderr line while it exists. Nothing is written
// before start(), which reads [Log] LogDays; what was reported before follows the start
// line. With LogDays 0 nothing is written at all.
class StationLog : private ProblemSink {
 public:
  static constexpr int kDefaultLogDays = 90;

  // removesOldFiles: the monitor keeps LogDays days of files, at start and at each UTC
  // midnight; the replay driver never removes a file.
  StationLog(const WallClock& clock, std::string folder, bool removesOldFiles);
  ~StationLog() override;
  StationLog(const StationLog&) = delete;
  StationLog& operator=(const StationLog&) = delete;

  // Who else hears of every event, even with the log files off.
  void setEventListener(std::function<void(const LogLine&)> listener) {
    eventListener_ = std::move(listener);
  }

  void start(const IniFile& ini, const std::string& iniPath, const LogStart& info);
  // A clean exit: an announcement in progress ends, then the stop event.
  void stop();

  void tuned(std::string_view frequencyDigits, ChangeBy by);
  void volumeSet(std::string_view volume, ChangeBy by);
  void retuned();
  void receiverLost() { watcher_.endAnnouncement("receiver lost"); }
  void groupDecoded(const GroupRecord& g, const DecoderState& s, const DisplayModel& w) {
    watcher_.groupDecoded(g, s, w);
  }
  void statusRead(const StatusReading& reading) { watcher_.statusRead(reading); }
  // Called every few seconds: the old files go as soon as a new UTC day begins.
  void poll() { removeExpiredOnNewDay(clock_.now()); }

 private:
  void problemReported(ProblemKind kind, std::string_view line) override;
  void write(const LogLine& line);
  void removeExpiredOnNewDay(WallTime now);

  const WallClock& clock_;
  DayFiles files_;
  StationWatcher watcher_;
  bool removesOldFiles_;
  int logDays_ = kDefaultLogDays;
  bool started_ = false;
  bool stopped_ = false;
  std::vector<LogLine> beforeStart_;
  std::function<void(const LogLine&)> eventListener_;
  std::chrono::sys_days lastRemoval_{};
};

// [Log] LogDays of the settings: the days of files kept, today included; 0 turns the log
// off. A value that is not a whole number of days gives one line on stderr and 90.
int logDaysSetting(const IniFile& ini, const std::string& iniPath);

}  // namespace tallowmere
