#include "form/FrmMain.h"

namespace tallowmere {

// The display keeps what it showed: the same station comes back on the same frequency.
void FrmMain::receiverConnected() {
  connected_ = true;
  if (!lastTuneCommand_.empty()) port_.write(lastTuneCommand_);
  if (!lastVolumeCommand_.empty()) port_.write(lastVolumeCommand_);
}

// A stale " 1 " would keep a traffic switcher engaged through the outage: the file says
// the state is unknown, and the next decoded group writes the state again.
void FrmMain::receiverDisconnected() {
  connected_ = false;
  decoder_.lastTrafficState = 2;
  trafficFile_.write(TrafficFile::Content::Unknown);
}

}  // namespace tallowmere
