#include "form/FrmMain.h"
#include "receiver/ReceiverCommands.h"

namespace tallowmere {

// The display keeps what it showed: the same station comes back on the same frequency.
void FrmMain::receiverConnected() {
  connected_ = true;
  if (!lastFrequencyDigits_.empty()) {
    port_.write(TuneCommand(lastFrequencyDigits_));
    if (log_ != nullptr) log_->tuned(lastFrequencyDigits_, ChangeBy::Reconnect);
  }
  if (!lastVolumeText_.empty()) {
    port_.write(VolumeCommand(lastVolumeText_));
    if (log_ != nullptr) log_->volumeSet(lastVolumeText_, ChangeBy::Reconnect);
  }
}

// A stale " 1 " would keep a traffic switcher engaged through the outage: the file says
// the state is unknown, and the next decoded group writes the state again.
void FrmMain::receiverDisconnected() {
  connected_ = false;
  decoder_.lastTrafficState = 2;
  trafficFile_.write(TrafficFile::Content::Unknown);
  if (log_ != nullptr) log_->receiverLost();
}

}  // namespace tallowmere
