#include "form/FrmMain.h"
#include "receiver/ReceiverCommands.h"

namespace tallowmere {

// Once tuned, a receiver that comes back starts the station afresh, as a retune does: its
// texts may have changed during the outage, and a buffer filled half before and half after
// would show, log and publish a text the station never sent. The receive gate stays open.
void FrmMain::receiverConnected() {
  connected_ = true;
  if (tunedFlag_ == 'Y') ResetDisplayAfterTune();
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
  decoder_.lastTrafficState = kTrafficStateUnknown;
  trafficFile_.write(TrafficFile::Content::Unknown);
  tell([](FormEvents& l) { l.receiverLost(); });
  tell([this](FormEvents& l) { l.trafficChanged(decoder_.lastTrafficState); });
}

void FrmMain::stop() {
  tell([](FormEvents& l) { l.stopping(); });
}

}  // namespace tallowmere
