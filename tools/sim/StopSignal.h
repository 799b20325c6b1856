#pragma once

namespace tallowmere {

// SIGINT and SIGTERM ask the simulator to stop; a blocking call they interrupt returns
// early with EINTR.
void catchStopSignals();
bool stopRequested();

}  // namespace tallowmere
