#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "form/FrmMain.h"

namespace tallowmere::test {

// The receiver's side of the line: every command sent, with the fake time it was sent at.
class RecordingPort : public ReceiverPort {
 public:
  bool open(const std::string& device) override {
    opened.push_back(device);
    return opens;
  }
  void write(std::string_view line) override { sent.emplace_back(now, line); }

  std::vector<std::string> opened;
  std::vector<std::pair<long, std::string>> sent;  // the time each was sent, and the line
  long now = 0;
  bool opens = true;
};

// Output files in memory. While `writable` is false every write fails, as in a full or
// read-only folder.
class MemoryFiles : public OutputFiles {
 public:
  bool replace(std::string_view name, std::string_view content) override {
    if (!writable) return false;
    files[std::string(name)] = content;
    return true;
  }
  std::map<std::string, std::string, std::less<>> files;
  bool writable = true;
};

// Timers on a fake clock: advanceTo() fires every tick due up to then, in time order.
class FakeClock : public TimerService {
 public:
  FakeClock(FrmMain& form, RecordingPort& port) : form_(form), port_(port) {}
  void start(TimerId id, int intervalMs) override { due_[id] = {now_ + intervalMs, intervalMs}; }
  void stop(TimerId id) override { due_.erase(id); }
  void advanceTo(long ms);
  long now() const { return now_; }

 private:
  struct Due {
    long atMs;
    int intervalMs;
  };
  std::map<TimerId, Due> due_;
  long now_ = 0;
  FrmMain& form_;
  RecordingPort& port_;
};

// The monitor's logic as the window drives it, with a recording port, a fake clock and
// files in memory. Settings come from tallowmere.ini in the current folder.
struct Harness {
  RecordingPort port;
  MemoryFiles files;
  FrmMain form{port, clock, files};
  FakeClock clock{form, port};

  void load() { form.Form_Load(); }
  // Start-up and the start-up tune, with the receive gate open.
  void loadAndTune() {
    load();
    form.tmrSetFreqAtStart_Timer();
  }
  void receive(std::string_view chunk) { form.MSComm1_OnComm(chunk); }
  void type(Field box, std::string_view text) { form.fields().setText(box, text); }
  const std::string& text(Field f) const { return form.fields()[f].text; }
  const FieldState& field(Field f) const { return form.fields()[f]; }
  bool lit(Field f) const { return form.fields().isLit(f); }
  std::string file(std::string_view name) const;  // "(none)" for a file never written
  std::vector<std::string> sentLines() const;
};

// A group line with the blocks as given, for malformed lines and real captures.
std::string hexLine(std::string_view a, std::string_view b, std::string_view c, std::string_view d);

}  // namespace tallowmere::test
