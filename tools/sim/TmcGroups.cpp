#include <algorithm>

#include "tools/sim/BitField.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere {

// Block B ends with the application's group type code: type in four bits, then the
// version bit (0 for A).
Group applicationAnnouncementGroup(const Programme& programme, int applicationGroup, std::uint16_t message,
                                   std::uint16_t aid) {
  const unsigned typeBits = bitField(static_cast<unsigned>(applicationGroup), 1, 4) | bitFlag(false, 0);
  return versionAGroup(programme, 3, typeBits, message, aid);
}

// Variant 0 (top two bits 00): location table number and the scope flags; this station's
// messages are of national scope.
std::uint16_t tmcSystemInformation(int locationTable) {
  return static_cast<std::uint16_t>(bitField(0, 14, 2) |
                                    bitField(static_cast<unsigned>(locationTable), 6, 6) | bitFlag(true, 2));
}

// Block B: T = 0 (a user message), F = 1 (single group), duration and persistence.
// Block C: diversion, direction, extent and event; block D: the location.
Group tmcGroup(const Programme& programme, const TmcMessage& message) {
  const unsigned typeBits =
      bitFlag(false, 4) | bitFlag(true, 3) | bitField(static_cast<unsigned>(message.duration), 0, 3);
  const auto blockC =
      static_cast<std::uint16_t>(bitFlag(message.diversion, 15) | bitFlag(message.negativeDirection, 14) |
                                 bitField(static_cast<unsigned>(message.extent), 11, 3) |
                                 bitField(static_cast<unsigned>(message.event), 0, 11));
  return versionAGroup(programme, 8, typeBits, blockC, message.location);
}

}  // namespace tallowmere

namespace tallowmere {
namespace {

// Bits of each label's value: ISO 14819-1, labels 0 to 15.
constexpr int kLabelBits[16] = {3, 3, 5, 5, 5, 8, 8, 8, 8, 11, 16, 16, 16, 16, 0, 0};
constexpr std::size_t kContentBits = 28;

}  // namespace

std::uint16_t tmcServiceIdentifier(int serviceId) {
  return static_cast<std::uint16_t>(bitField(1, 14, 2) | bitField(static_cast<unsigned>(serviceId), 6, 6));
}

// Block B: T = 0, F = 0, the continuity index. The first group: block C the first-group
// flag, direction, extent and event, block D the location. The others: block C the
// second-group flag, the groups still to come, and 12 content bits; block D 16 more.
std::vector<Group> tmcMultiGroup(const Programme& programme, const TmcMessage& message, int continuity,
                                 std::span<const TmcLabel> content) {
  const unsigned typeBits = bitField(static_cast<unsigned>(continuity), 0, 3);
  std::vector<Group> groups = {
      versionAGroup(programme, 8, typeBits,
                    static_cast<std::uint16_t>(bitFlag(true, 15) | bitFlag(message.negativeDirection, 14) |
                                               bitField(static_cast<unsigned>(message.extent), 11, 3) |
                                               bitField(static_cast<unsigned>(message.event), 0, 11)),
                    message.location)};
  std::string bits;
  for (const TmcLabel& l : content) {
    for (int i = 3; i >= 0; --i) bits.push_back((l.label >> i & 1) != 0 ? '1' : '0');
    for (int i = kLabelBits[l.label] - 1; i >= 0; --i) bits.push_back((l.value >> i & 1u) != 0 ? '1' : '0');
  }
  const std::size_t count = std::max<std::size_t>(1, (bits.size() + kContentBits - 1) / kContentBits);
  bits.resize(count * kContentBits, '0');
  for (std::size_t g = 0; g < count; ++g) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kContentBits; ++i)
      value = value << 1 | (bits[g * kContentBits + i] == '1' ? 1u : 0u);
    const auto blockC = static_cast<std::uint16_t>(bitFlag(g == 0, 14) |
                                                   bitField(static_cast<unsigned>(count - 1 - g), 12, 2) |
                                                   bitField(value >> 16, 0, 12));
    groups.push_back(
        versionAGroup(programme, 8, typeBits, blockC, static_cast<std::uint16_t>(value & 0xFFFF)));
  }
  return groups;
}

}  // namespace tallowmere
