#include "form/FrmMain.h"
#include "receiver/ReceiverCommands.h"

namespace tallowmere {

// The display keeps what it showed: the same station comes back on the same frequency.
void FrmMain::receiverConnected() {
  connected_ = true;
  if (!lastFrequencyDigits_.empty()) {
    port_.write(TuneCommand(lastFrequencyDigits_));
    tell([this](FormEvents& l) { l.tuned(lastFrequencyDigits_, ChangeBy::Reconnect); });
  }
  if (!lastVolumeText_.empty()) {
    port_.write(VolumeCommand(lastVolumeText_));
    tell([this](FormEvents& l) { l.volumeSent(lastVolumeText_, ChangeBy::Reconnect); });
  }
  tell([](FormEvents& l) { l.receiverConnected(); });
}

// A stale " 1 " would keep a traffic switcher engaged through the outage: the file says
// the state is unknown, and the next decoded group writes the state again.
void FrmMain::receiverDisconnected() {
  connected_ = false;
  decoder_.lastTrafficState = 2;
  trafficFile_.write(TrafficFile::Content::Unknown);
  tell([](FormEvents& l) { l.receiverLost(); });
  tell([this](FormEvents& l) { l.trafficChanged(decoder_.lastTrafficState); });
}

void FrmMain::stop() {
  tell([](FormEvents& l) { l.stopping(); });
}

}  // namespace tallowmere
