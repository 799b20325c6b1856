#include "form/FrmMain.h"

namespace tallowmere {

// Nobody watches the station once the monitor has stopped: a " 1 " left behind would keep
// a traffic switcher in an announcement for good, so the file says the state is unknown.
void FrmMain::Form_Unload() {
  trafficFile_.write(TrafficFile::Content::Unknown);
  stop();
}

}  // namespace tallowmere
