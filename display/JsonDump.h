#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "display/DisplayModel.h"

namespace tallowmere {

// The display model and every command sent so far, as one line of JSON:
// {"fields": {NAME: {"text", "fg", "bg", "visible"}, ...}, "sent": [...]}. Each character
// is written as the code point of its byte, so bytes 0x80-0xFF survive the trip.
std::string dumpJson(const DisplayModel& fields, const std::vector<std::string>& sent, long groupsDecoded);

void appendJsonString(std::string& out, std::string_view bytes);

}  // namespace tallowmere
