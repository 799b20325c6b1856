#pragma once

#include <cstdint>

namespace tallowmere {

// A value placed in a block at bits lowBit .. lowBit + width - 1, cut to its width, so
// every layout reads as a list of fields instead of shifts and masks.
constexpr std::uint16_t bitField(unsigned value, int lowBit, int width) {
  const unsigned mask = (1u << width) - 1u;
  return static_cast<std::uint16_t>((value & mask) << lowBit);
}

constexpr std::uint16_t bitFlag(bool on, int bit) {
  return bitField(on ? 1u : 0u, bit, 1);
}

}  // namespace tallowmere
