#include "form/FrmMain.h"
#include "receiver/ReceiverCommands.h"

namespace tallowmere {

// Five seconds after start the monitor tunes the receiver by itself, once, then hands
// over to the metadata timer.
void FrmMain::tmrSetFreqAtStart_Timer() {
  fields_.setText(Field::lblHEX, "");
  tune(ChangeBy::StartUpTimer);
  setVolume(ChangeBy::StartUpTimer);
  setTimerEnabled(TimerId::tmrSetFreqAtStart, false);
  setTimerEnabled(TimerId::tmrWriteMetadata, true);
}

// Besides the signal poll, a traffic state that could not be written is tried again here:
// after the last group of a station nothing else would write it.
void FrmMain::tmrRSSI_Timer() {
  port_.write(SignalQuery);
  trafficFile_.retry();
  tell([](FormEvents& l) { l.polled(); });
}

void FrmMain::tmrWriteMetadata_Timer() {
  metadataFile_.publish(fields_[Field::lblRadioText].text);
}

}  // namespace tallowmere
