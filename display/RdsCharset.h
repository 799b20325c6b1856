#pragma once

namespace tallowmere {

// How the window draws a byte received from a station: 0x20-0x7E as ASCII, 0x80-0xFE
// through the RDS character table (0x91 'ä', 0x97 'ö', 0x99 'ü', ...), control
// characters and 0xFF as a blank. The model and the files keep the bytes themselves.
char16_t rdsDisplayCharacter(unsigned char byte);

}  // namespace tallowmere
