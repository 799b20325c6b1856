#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "display/DisplayModel.h"
#include "form/FormEvents.h"
#include "form/Timers.h"
#include "output/MetadataFile.h"
#include "output/TrafficFile.h"
#include "rds/DecoderState.h"
#include "rds/GroupRecord.h"
#include "receiver/ReceiverPort.h"
#include "settings/WebSettings.h"

namespace tallowmere {

inline constexpr std::string_view kProgramVersion = TALLOWMERE_VERSION;
inline constexpr std::string_view kWindowTitle = "Tallowmere";
inline constexpr std::string_view kDisconnectedWindowTitle = "Tallowmere (receiver not connected)";

// The monitor window's logic: its fields, form-level state, timers and every handler.
// It knows nothing of the toolkit: the window renders fields() and forwards clicks, timer
// ticks and received chunks; each handler runs to completion and tells its listeners what
// it did.
class FrmMain {
 public:
  FrmMain(ReceiverPort& port, TimerService& timers, OutputFiles& files);

  // Listeners hear every event in the order added.
  void addListener(FormEvents* listener) { listeners_.push_back(listener); }

  // Runs once, before the window is shown: settings, start-up state, output files, port.
  void Form_Load();
  // Runs once at a clean stop (window closed, SIGTERM, SIGINT): traffic.txt says "?" and
  // the listeners have their last word.
  void Form_Unload();

  // A click on a button; a remote operator's request runs the same handler.
  void cmdSetFreq_Click(ChangeBy by = ChangeBy::Button);
  void cmdSetVolume_Click(ChangeBy by = ChangeBy::Button);
  void tmrSetFreqAtStart_Timer();
  void tmrRSSI_Timer();
  void tmrWriteMetadata_Timer();
  // One receive event: the chunk of characters the port delivered, one per received byte.
  void MSComm1_OnComm(std::string_view rxText);

  void onTimer(TimerId id);

  // The serial layer reports the port opening and closing. While it is closed the traffic
  // state is unknown; once it opens again the display and decoder start afresh (after the
  // first tune) and the receiver gets the last tuning and volume commands, so one plugged
  // in late or replugged is tuned as before.
  void receiverConnected();
  void receiverDisconnected();
  // The listeners' last word, traffic.txt left as it is: the end of a replay.
  void stop();
  bool connected() const { return connected_; }
  // The serial device the settings name, or "" when they name none.
  const std::string& device() const { return device_; }
  // Where and for whom the web server serves, as start-up read it.
  const WebSettings& webSettings() const { return webSettings_; }
  // The frequency of the last tuning command in MHz, or "" before the first.
  std::string tunedFrequency() const;
  std::string_view windowTitle() const { return connected_ ? kWindowTitle : kDisconnectedWindowTitle; }

  DisplayModel& fields() { return fields_; }
  const DisplayModel& fields() const { return fields_; }
  const DecoderState& decoderState() const { return decoder_; }
  char tunedFlag() const { return tunedFlag_; }
  const TimerState& timer(TimerId id) const { return timers_[static_cast<std::size_t>(id)]; }
  // Group lines decoded since start; lets a replay or a benchmark check that none was lost.
  long groupsDecoded() const { return groupsDecoded_; }

 private:
  void ResetDisplayAfterTune();
  void setTimerEnabled(TimerId id, bool enabled);
  void processGroupLine(std::string_view rxText);
  void openReceiver(const std::string& iniPath, const std::string& iniComPort);
  void tune(ChangeBy by);
  void setVolume(ChangeBy by);
  template <typename Call>
  void tell(Call call) {
    for (FormEvents* listener : listeners_) call(*listener);
  }

  ReceiverPort& port_;
  TimerService& timerService_;
  std::vector<FormEvents*> listeners_;
  TrafficFile trafficFile_;
  MetadataFile metadataFile_;
  DisplayModel fields_;
  DecoderState decoder_;
  char tunedFlag_ = 'N';   // 'Y' once the first tuning command has run; opens the receive gate
  std::string lastChunk_;  // the receive handler's work text of the previous event
  std::array<TimerState, kTimerCount> timers_ = kTimersAsCreated;
  long groupsDecoded_ = 0;
  bool connected_ = false;
  std::string device_;
  WebSettings webSettings_;
  std::string lastFrequencyDigits_;  // of the last tuning command, for a receiver plugged in again
  std::string lastVolumeText_;       // of the last volume command
};

}  // namespace tallowmere
