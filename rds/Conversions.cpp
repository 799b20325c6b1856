#include "rds/Conversions.h"

#include <array>

#include "settings/HexDigit.h"

namespace tallowmere {
namespace {

constexpr std::array<std::string_view, 16> kNibbles = {"0000", "0001", "0010", "0011", "0100", "0101",
                                                       "0110", "0111", "1000", "1001", "1010", "1011",
                                                       "1100", "1101", "1110", "1111"};

}  // namespace

void NibbleBits::HexDigitToBits(char digit) {
  const int value = upperHexDigitValue(digit);
  if (value >= 0) bits_ = kNibbles[static_cast<std::size_t>(value)];
}

std::int32_t BinToDec(std::string_view bits) {
  std::uint32_t result = 0;
  const std::size_t n = bits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (bits[i] != '1') continue;
    const std::size_t weight = n - 1 - i;
    result |= weight > 30 ? 0x80000000u : (1u << weight);
  }
  return static_cast<std::int32_t>(result);
}

}  // namespace tallowmere
