#pragma once

#include <string>

#include "form/FrmMain.h"

namespace tallowmere::test {

// What the display relies on after every event, whatever the receiver sent: fixed buffer
// lengths, the count within its range, only the system's own colours, bounded texts.
// Returns a description of the first broken rule, or nothing.
std::string brokenInvariant(const FrmMain& form);

}  // namespace tallowmere::test
