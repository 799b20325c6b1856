#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <optional>

#include "rds/GroupRecord.h"

namespace tallowmere {

// The four 16-bit blocks of one group, A to D.
using Blocks = std::array<std::uint16_t, 4>;

// The field of a block at bits lowBit .. lowBit + width - 1 (bit 0 the last sent), so that
// every layout reads as a list of positions and widths.
constexpr unsigned bitsOf(std::uint16_t block, int lowBit, int width) {
  assert(lowBit >= 0 && width > 0 && lowBit + width <= 16);
  return (static_cast<unsigned>(block) >> lowBit) & ((1u << width) - 1u);
}

constexpr bool bitOf(std::uint16_t block, int bit) {
  return bitsOf(block, bit, 1) != 0;
}

// The blocks of a group line cut into four hexadecimal blocks; nothing for any other line.
std::optional<Blocks> blocksOf(const GroupRecord& g);

}  // namespace tallowmere
