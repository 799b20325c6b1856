#pragma once

#include <string>

namespace tallowmere {

inline constexpr const char* kDeviceMissing = "does not exist (is the receiver plugged in?)";

// Why a serial device that would not open cannot be used, in words that say what to
// do: it does not exist, the user lacks permission (naming the group that owns it and
// the command that adds the user), or it is busy in another program.
// openFailedForPermission: the serial library reported a permission error, which it
// also reports for a device that another program holds.
std::string describeOpenFailure(const std::string& device, bool openFailedForPermission,
                                const std::string& libraryReason);

}  // namespace tallowmere
