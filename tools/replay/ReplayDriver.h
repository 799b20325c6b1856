#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "form/FrmMain.h"
#include "output/AtomicFileWriter.h"

namespace tallowmere {

// The monitor's logic without window or serial port: start-up exactly as the monitor's,
// every command recorded instead of sent, events handled one at a time.
class ReplayDriver {
 public:
  explicit ReplayDriver(std::FILE* out);

  // One script line; returns an error text for a line that is not valid.
  std::string runScriptLine(std::string_view line);
  // One run of the metadata tick, then the final dump.
  void finish();

  FrmMain& form() { return form_; }

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
  FrmMain form_;
};

}  // namespace tallowmere
