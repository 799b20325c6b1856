#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/DisplayModel.h"
#include "app/FormVariables.h"
#include "app/Ports.h"

namespace tallowmere {

inline constexpr std::string_view kWindowTitle = "Tallowmere";
inline constexpr std::string_view kDisconnectedWindowTitle = "Tallowmere (receiver not connected)";

struct TimerState {
  int intervalMs;
  bool enabled;
};

// The monitor window's logic: its fields, form-level state, timers and every handler.
// It knows nothing of the toolkit: the window renders fields() and forwards clicks, timer
// ticks and received chunks; each handler runs to completion.
class FrmMain {
 public:
  FrmMain(ReceiverPort& port, TimerService& timers, OutputFiles& files);

  // Runs once, before the window is shown: settings, start-up state, output files, port.
  void Form_Load();

  void cmdSetFreq_Click();
  void cmdSetVolume_Click();
  void tmrSetFreqAtStart_Timer();
  void tmrRSSI_Timer();
  void tmrWriteMetadata_Timer();
  // One receive event: the chunk of characters the port delivered, one per received byte.
  void MSComm1_OnComm(std::string_view rxText);

  void onTimer(TimerId id);

  // The serial layer reports the port opening and closing. While it is closed the traffic
  // state is unknown; once it opens again the receiver gets the last tuning and volume
  // commands, so one plugged in late or replugged is tuned as before.
  void receiverConnected();
  void receiverDisconnected();
  const std::string& windowTitle() const { return windowTitle_; }

  DisplayModel& fields() { return fields_; }
  const DisplayModel& fields() const { return fields_; }
  const FormVariables& variables() const { return vars_; }
  const TimerState& timer(TimerId id) const { return timers_[static_cast<std::size_t>(id)]; }
  // Group lines decoded since start; lets a replay or a benchmark check that none was lost.
  long groupsDecoded() const { return groupsDecoded_; }
  // The serial device named by the settings; empty when they name none.
  const std::string& receiverDevice() const { return receiverDevice_; }

 private:
  void ResetDisplayAfterTune();
  void setTimerEnabled(TimerId id, bool enabled);
  void processGroupLine(std::string_view rxText);
  void writeOutputFile(std::string_view name, std::string_view content);
  void sendTuneCommand(std::string line);
  void sendVolumeCommand(std::string line);

  ReceiverPort& port_;
  TimerService& timerService_;
  OutputFiles& files_;
  DisplayModel fields_;
  FormVariables vars_;
  std::array<TimerState, kTimerCount> timers_;
  std::string receiverDevice_;
  long groupsDecoded_ = 0;
  std::string windowTitle_;
  std::string lastTuneCommand_;
  std::string lastVolumeCommand_;
};

}  // namespace tallowmere
