#include "tools/sim/BitField.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere {
namespace {

constexpr std::size_t kTextLength = 64;
constexpr std::size_t kSegmentLength = 4;
constexpr char kEndOfText = '\r';

}  // namespace

std::string radioTextForAir(std::string_view text, TextEnd end) {
  std::string air(text.substr(0, kTextLength));
  if (air.size() < kTextLength && end == TextEnd::CarriageReturn) {
    air.push_back(kEndOfText);
    air.resize((air.size() + kSegmentLength - 1) / kSegmentLength * kSegmentLength, ' ');
  } else {
    air.resize(kTextLength, ' ');
  }
  return air;
}

Group radioTextGroup(const Programme& programme, bool textB, int segment, std::string_view airText) {
  const unsigned typeBits = bitFlag(textB, 4) | bitField(static_cast<unsigned>(segment), 0, 4);
  const std::string_view chars = airText.substr(kSegmentLength * static_cast<std::size_t>(segment), 4);
  return versionAGroup(programme, 2, typeBits, characterPair(chars[0], chars[1]),
                       characterPair(chars[2], chars[3]));
}

}  // namespace tallowmere
