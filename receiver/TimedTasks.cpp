#include "app/FrmMain.h"
#include "receiver/ReceiverCommands.h"

namespace tallowmere {

// Five seconds after start the monitor tunes the receiver by itself, once, then hands
// over to the metadata timer.
void FrmMain::tmrSetFreqAtStart_Timer() {
  fields_.setText(Field::lblHEX, "");
  cmdSetFreq_Click();
  cmdSetVolume_Click();
  setTimerEnabled(TimerId::tmrSetFreqAtStart, false);
  setTimerEnabled(TimerId::tmrWriteMetadata, true);
}

void FrmMain::tmrRSSI_Timer() {
  port_.write(SignalQuery);
}

}  // namespace tallowmere
