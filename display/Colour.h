#pragma once

#include <cstdint>

namespace tallowmere {

// A 24-bit RGB value, 0xRRGGBB.
using Rgb = std::uint32_t;

// Every colour the window uses. An indicator is lit with white on green and dark
// with grey on black; whether it is lit is read back from its text colour.
namespace colour {
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kGreen = 0x008000;
inline constexpr Rgb kGrey = 0x808080;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kDarkGrey = 0x404040;   // the window background, and "mono"
inline constexpr Rgb kLightGrey = 0xE0E0E0;  // the credit line
}  // namespace colour

}  // namespace tallowmere
