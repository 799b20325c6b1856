#include "tools/sim/BitField.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere {
namespace {

constexpr unsigned kFillerCode = 205;
constexpr unsigned kNoFrequencies = 224;  // 224 + n announces a list of n frequencies
constexpr int kLowestFrequency = 875;     // 87.5 MHz, one below code 1

unsigned frequencyCode(int frequency) {
  return static_cast<unsigned>(frequency - kLowestFrequency);
}

}  // namespace

Group basicTuningGroup(const Programme& programme, const SwitchingFlags& flags, int segment,
                       std::string_view ps, std::uint16_t blockC) {
  const bool diBit = ((flags.decoderId >> (3 - segment)) & 1u) != 0;
  const unsigned typeBits = bitFlag(flags.ta, 4) | bitFlag(flags.music, 3) | bitFlag(diBit, 2) |
                            bitField(static_cast<unsigned>(segment), 0, 2);
  const auto at = static_cast<std::size_t>(2 * segment);
  return versionAGroup(programme, 0, typeBits, blockC, characterPair(ps[at], ps[at + 1]));
}

std::size_t alternativeFrequencyPairCount(std::span<const int> frequencies) {
  return frequencies.size() / 2 + 1;
}

std::uint16_t alternativeFrequencyPair(std::span<const int> frequencies, std::size_t index) {
  index %= alternativeFrequencyPairCount(frequencies);
  auto code = [&](std::size_t i) {
    return i < frequencies.size() ? frequencyCode(frequencies[i]) : kFillerCode;
  };
  if (index == 0) {
    return static_cast<std::uint16_t>(
        bitField(kNoFrequencies + static_cast<unsigned>(frequencies.size()), 8, 8) | bitField(code(0), 0, 8));
  }
  return static_cast<std::uint16_t>(bitField(code(2 * index - 1), 8, 8) | bitField(code(2 * index), 0, 8));
}

}  // namespace tallowmere
