#include "tools/sim/BitField.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere {

// Block C: linkage actuator 0, variant 0, paging code 0 and the extended country code.
// Block D: day, hour and minute of the programme item.
Group slowLabellingGroup(const Programme& programme, std::uint8_t extendedCountryCode,
                         const ProgrammeItem& item) {
  const auto blockC = static_cast<std::uint16_t>(bitFlag(false, 15) | bitField(0, 12, 3) |
                                                 bitField(extendedCountryCode, 0, 8));
  const auto blockD = static_cast<std::uint16_t>(bitField(static_cast<unsigned>(item.day), 11, 5) |
                                                 bitField(static_cast<unsigned>(item.hour), 6, 5) |
                                                 bitField(static_cast<unsigned>(item.minute), 0, 6));
  return versionAGroup(programme, 1, 0, blockC, blockD);
}

// Block B: the name's A/B flag and the segment address; four characters in blocks C, D.
Group programmeTypeNameGroup(const Programme& programme, bool nameB, int segment, std::string_view name) {
  const auto at = static_cast<std::size_t>(4 * segment);
  return versionAGroup(programme, 10, bitFlag(nameB, 4) | bitField(static_cast<unsigned>(segment), 0, 1),
                       characterPair(name[at], name[at + 1]), characterPair(name[at + 2], name[at + 3]));
}

// Block B: the other network's TP and the variant; block C: for variants 0 to 3 two
// characters of its PS; block D: its PI.
Group otherNetworkGroup(const Programme& programme, const OtherNetwork& other, int variant) {
  const auto at = static_cast<std::size_t>(2 * variant);
  return versionAGroup(programme, 14, bitFlag(other.tp, 4) | bitField(static_cast<unsigned>(variant), 0, 4),
                       characterPair(other.ps[at], other.ps[at + 1]), other.pi);
}

}  // namespace tallowmere
