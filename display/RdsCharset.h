#pragma once

#include <string>
#include <string_view>

#include "display/Fields.h"

namespace tallowmere {

// How the window draws a byte received from a station: 0x20-0x7E as ASCII, 0x80-0xFE
// through the RDS character table (0x91 'ä', 0x97 'ö', 0x99 'ü', ...), control
// characters and 0xFF as a blank. The model and the files keep the bytes themselves.
char16_t rdsDisplayCharacter(unsigned char byte);

// The fields that show text a station sent (PS and RadioText); the window draws them
// through the RDS character table and every other field one character per byte.
bool showsReceivedText(Field f);

void appendUtf8(std::string& out, char32_t c);
// Received bytes as the window draws them, in UTF-8.
std::string rdsTextUtf8(std::string_view bytes);
// A field's text as the window draws it, in UTF-8.
std::string shownTextUtf8(Field f, std::string_view bytes);

}  // namespace tallowmere
