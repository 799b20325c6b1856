#pragma once

#include <string>

#include "checks/Checks.h"

namespace tallowmere {

// Each check on, by name: {"pi": {"judged": "failing", "alarm": true, "since": TIME,
// "expected": "D3*1", "received": "D42A"}, ...}; TIME as the log stamps it, since when
// the check is judged as it is.
void appendChecksJson(std::string& out, const Checks& checks);

std::string_view judgedName(Judged judged);

}  // namespace tallowmere
