#pragma once

#include "tools/sim/GroupSequence.h"

namespace tallowmere {

// The host's time in UTC with the local time zone's offset, rounded to half hours.
WallClock hostClock();

}  // namespace tallowmere
