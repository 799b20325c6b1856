#include "app/FrmMain.h"

namespace tallowmere {

FrmMain::FrmMain(ReceiverPort& port, TimerService& timers, OutputFiles& files)
    : port_(port),
      timerService_(timers),
      files_(files),
      timers_{{{5000, true}, {2000, true}, {20000, false}}},
      windowTitle_(kWindowTitle) {}

void FrmMain::onTimer(TimerId id) {
  switch (id) {
    case TimerId::tmrSetFreqAtStart: tmrSetFreqAtStart_Timer(); break;
    case TimerId::tmrRSSI: tmrRSSI_Timer(); break;
    case TimerId::tmrWriteMetadata: tmrWriteMetadata_Timer(); break;
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

void FrmMain::writeOutputFile(std::string_view name, std::string_view content) {
  files_.replace(name, content);
}

}  // namespace tallowmere
