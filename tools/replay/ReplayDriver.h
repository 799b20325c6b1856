#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "checks/Checks.h"
#include "form/FrmMain.h"
#include "log/StationLog.h"
#include "log/WallClock.h"
#include "output/AtomicFileWriter.h"
#include "station/NowPlayingFeed.h"
#include "station/StationModel.h"

namespace tallowmere {

// The monitor's logic without window or serial port: start-up exactly as the monitor's,
// every command recorded instead of sent, events handled one at a time. It writes the
// station log in log/ as the monitor does, on a clock of its own that starts at
// 2025-01-01 00:00 UTC: a receive chunk of a transcript takes 87.7 ms (groups arrive 11.4
// a second), a timer tick its timer's interval.

class ReplayDriver {
 public:
  explicit ReplayDriver(std::FILE* out);

  // One script line; returns an error text for a line that is not valid.
  std::string runScriptLine(std::string_view line);
  // One line of a transcript.
  void receive(std::string_view chunk);
  void tick(TimerId id);
  // One run of the metadata tick, then the final dump, and the log stops.
  void finish();

  FrmMain& form() { return form_; }
  StationModel& station() { return station_; }
  Checks& checks() { return checks_; }
  const WallClock& clock() const { return wallClock_; }

 private:
  class RecordingPort : public ReceiverPort {
   public:
    bool open(const std::string&) override { return true; }
    void write(std::string_view line) override { sent.emplace_back(line); }
    std::vector<std::string> sent;
  };
  // Nothing ticks by itself in a replay; the script asks for each tick.
  class ManualTimers : public TimerService {
   public:
    void start(TimerId, int) override {}
    void stop(TimerId) override {}
  };

  void dump();

  std::FILE* out_;
  RecordingPort port_;
  ManualTimers timers_;
  AtomicFileWriter files_;
  ManualWallClock wallClock_;
  StationLog log_;
  StationModel station_;
  NowPlayingFeed nowPlaying_{files_};
  Checks checks_;
  FrmMain form_;
};

}  // namespace tallowmere
