#include "tools/sim/Group.h"

#include "tools/sim/BitField.h"

namespace tallowmere {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

Group versionAGroup(const Programme& programme, int type, unsigned typeBits, std::uint16_t blockC,
                    std::uint16_t blockD) {
  const auto blockB = static_cast<std::uint16_t>(
      bitField(static_cast<unsigned>(type), 12, 4) | bitFlag(false, 11) | bitFlag(programme.tp, 10) |
      bitField(static_cast<unsigned>(programme.pty), 5, 5) | bitField(typeBits, 0, 5));
  return Group{{programme.pi, blockB, blockC, blockD}};
}

std::uint16_t characterPair(char first, char second) {
  return static_cast<std::uint16_t>(bitField(static_cast<unsigned char>(first), 8, 8) |
                                    bitField(static_cast<unsigned char>(second), 0, 8));
}

std::string groupLine(const Group& group) {
  std::string line = ">>> ";
  for (std::size_t i = 0; i < group.blocks.size(); ++i) {
    if (i > 0) line.push_back(':');
    for (int shift = 12; shift >= 0; shift -= 4) line.push_back(kHexDigits[(group.blocks[i] >> shift) & 0xF]);
  }
  line += "<\r\n";
  return line;
}

}  // namespace tallowmere
