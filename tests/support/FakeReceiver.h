#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "form/FrmMain.h"
#include "output/AtomicFileWriter.h"

namespace tallowmere::test {

// Records every command the monitor sends, with the fake time it was sent at.
class RecordingPort : public ReceiverPort {
 public:
  bool open(const std::string& device) override {
    opened.push_back(device);
    return opens;
  }
  void write(std::string_view line) override { sent.push_back({now, std::string(line)}); }

  struct Sent {
    long atMs;
    std::string line;
  };
  std::vector<std::string> opened;
  std::vector<Sent> sent;
  long now = 0;
  bool opens = true;  // whether the device opens
};

// Timers on a fake clock: advanceTo() fires every tick due up to then, in time order.
class FakeClock : public TimerService {
 public:
  void start(TimerId id, int intervalMs) override { due_[id] = {now_ + intervalMs, intervalMs}; }
  void stop(TimerId id) override { due_.erase(id); }

  void attach(FrmMain& form, RecordingPort& port) {
    form_ = &form;
    port_ = &port;
  }
  void advanceTo(long ms);
  long now() const { return now_; }

 private:
  struct Due {
    long atMs;
    int intervalMs;
  };
  std::map<TimerId, Due> due_;
  long now_ = 0;
  FrmMain* form_ = nullptr;
  RecordingPort* port_ = nullptr;
};

// A monitor with recording port, fake clock and the real file writer, started up in the
// current folder.
struct Monitor {
  RecordingPort port;
  FakeClock clock;
  AtomicFileWriter files;
  FrmMain form{port, clock, files};

  Monitor() { clock.attach(form, port); }
  void load() { form.Form_Load(); }
  // Start-up and the start-up tune, with the receive gate open.
  void loadAndTune() {
    load();
    form.tmrSetFreqAtStart_Timer();
  }
  const std::string& text(Field f) const { return form.fields()[f].text; }
  const FieldState& field(Field f) const { return form.fields()[f]; }
  std::vector<std::string> sentLines() const;
  void receive(std::string_view chunk) { form.MSComm1_OnComm(chunk); }
};

// A group line as the receiver sends it, CR LF included.
std::string groupLine(std::string_view a, std::string_view b, std::string_view c, std::string_view d);

}  // namespace tallowmere::test
