#include "form/FrmMain.h"

namespace tallowmere {

FrmMain::FrmMain(ReceiverPort& port, TimerService& timers, OutputFiles& files)
    : port_(port), timerService_(timers), trafficFile_(files), metadataFile_(files) {}

void FrmMain::onTimer(TimerId id) {
  switch (id) {
    case TimerId::tmrSetFreqAtStart:
      tmrSetFreqAtStart_Timer();
      break;
    case TimerId::tmrRSSI:
      tmrRSSI_Timer();
      break;
    case TimerId::tmrWriteMetadata:
      tmrWriteMetadata_Timer();
      break;
  }
}

void FrmMain::setTimerEnabled(TimerId id, bool enabled) {
  TimerState& t = timers_[static_cast<std::size_t>(id)];
  t.enabled = enabled;
  if (enabled) {
    timerService_.start(id, t.intervalMs);
  } else {
    timerService_.stop(id);
  }
}

}  // namespace tallowmere
