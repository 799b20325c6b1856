#pragma once

#include "tools/sim/Options.h"

namespace tallowmere {

// Runs the simulated receiver until SIGINT or SIGTERM; returns the exit status.
int runSimulator(const Options& options);

}  // namespace tallowmere
