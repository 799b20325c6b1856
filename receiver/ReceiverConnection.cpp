#include <utility>

#include "app/FrmMain.h"

namespace tallowmere {

void FrmMain::sendTuneCommand(std::string line) {
  port_.write(line);
  lastTuneCommand_ = std::move(line);
}

void FrmMain::sendVolumeCommand(std::string line) {
  port_.write(line);
  lastVolumeCommand_ = std::move(line);
}

// The display keeps what it showed: the same station comes back on the same frequency.
void FrmMain::receiverConnected() {
  windowTitle_ = kWindowTitle;
  if (!lastTuneCommand_.empty()) port_.write(lastTuneCommand_);
  if (!lastVolumeCommand_.empty()) port_.write(lastVolumeCommand_);
}

// A stale " 1 " would keep a traffic switcher engaged through the outage: the file says
// the state is unknown, and the next decoded group writes the state again.
void FrmMain::receiverDisconnected() {
  windowTitle_ = kDisconnectedWindowTitle;
  vars_.lastTrafficState = 2;
  vars_.pendingTrafficFile = "?\r\n";
  if (files_.replace("traffic.txt", vars_.pendingTrafficFile)) vars_.pendingTrafficFile.clear();
}

}  // namespace tallowmere
