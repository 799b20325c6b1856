#pragma once

#include <string_view>

namespace tallowmere {

// Writes one line to stderr for the person running the monitor. The window itself
// never shows a message.
void reportProblem(std::string_view line);

}  // namespace tallowmere
