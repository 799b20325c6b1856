#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "checks/CheckEvents.h"
#include "form/FormEvents.h"
#include "log/DayFiles.h"
#include "log/EvidenceFiles.h"
#include "log/StationWatcher.h"
#include "settings/Diagnostics.h"
#include "settings/IniFile.h"

namespace tallowmere {

// The station log in log/ of the working folder: the monitor's own events (start, stop,
// tune, volume, receiver, file, diagnostic), heard from the form, and the station's,
// heard from the station model through the watcher; one JSON line each. It takes every
// stderr line while it exists. Nothing is written before the start, which reads [Log]
// LogDays; what was reported before follows the start line. With LogDays 0 nothing is
// written at all. The checks' alarms and the maintenance file are events too.
class StationLog : public FormEvents, public CheckEvents, private ProblemSink {
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

  // The station model's listener that logs its facts.
  StationEvents& stationEvents() { return watcher_; }

  void started(const IniFile& ini, const std::string& iniPath, const StartInfo& info) override;
  // A clean exit: an announcement in progress ends, then the stop event.
  void stopping() override;
  void tuned(std::string_view frequencyDigits, ChangeBy by) override;
  void volumeSent(std::string_view volume, ChangeBy by) override;
  void retuned() override { watcher_.endAnnouncement("retune"); }
  void receiverLost() override { watcher_.endAnnouncement("receiver lost"); }
  void groupDecoded(const GroupRecord& g, const DecoderState& s) override;
  void statusRead(const StatusReading& reading) override { watcher_.statusRead(reading); }
  void trafficChanged(int state) override { watcher_.trafficChanged(state); }
  // Every few seconds: the old files go as soon as a new UTC day begins.
  void polled() override;

  void alarmChanged(const AlarmEvent& e) override;
  // The evidence file the last raised alarm names, from the working folder; "" for none.
  const std::string& lastEvidence() const { return lastEvidence_; }
  void maintenanceChanged(bool on) override;

 private:
  void problemReported(ProblemKind kind, std::string_view line) override;
  void write(const LogLine& line);
  bool writesFiles() const { return started_ && !stopped_ && logDays_ != 0; }
  void removeExpiredOnNewDay(WallTime now);

  const WallClock& clock_;
  DayFiles files_;
  EvidenceFiles evidence_;
  StationWatcher watcher_;
  bool removesOldFiles_;
  int logDays_ = kDefaultLogDays;
  bool started_ = false;
  bool stopped_ = false;
  std::vector<LogLine> beforeStart_;
  std::function<void(const LogLine&)> eventListener_;
  std::string lastEvidence_;
  std::chrono::sys_days lastRemoval_{};
};

// [Log] LogDays of the settings: the days of files kept, today included; 0 turns the log
// off. A value that is not a whole number of days gives one line on stderr and 90.
int logDaysSetting(const IniFile& ini, const std::string& iniPath);

}  // namespace tallowmere
