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

// A number with a fixed count of decimals, as JSON and the texts built from it write it.
void appendFixed(std::string& out, double value, int decimals);

// A JSON string of bytes, each written as the code point of its byte.
void appendJsonString(std::string& out, std::string_view bytes);
// A JSON string of UTF-8 text; a byte that is not part of valid UTF-8 becomes U+FFFD, so
// that the result is always valid JSON.
void appendJsonText(std::string& out, std::string_view text);

enum class FieldText { BytesOnly, WithShown };
// One field as {"text", "fg", "bg", "visible"}; WithShown adds "shown", the text as the
// window draws it, in UTF-8.
void appendFieldJson(std::string& out, Field f, const FieldState& s, FieldText shown);
// Every field by name: {NAME: FIELD, ...}.
void appendFieldsJson(std::string& out, const DisplayModel& fields, FieldText shown);

}  // namespace tallowmere
