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
  return otherNetworkGroup(programme, other, variant, characterPair(other.ps[at], other.ps[at + 1]));
}

Group otherNetworkGroup(const Programme& programme, const OtherNetwork& other, int variant,
                        std::uint16_t blockC) {
  return versionAGroup(programme, 14, bitFlag(other.tp, 4) | bitField(static_cast<unsigned>(variant), 0, 4),
                       blockC, other.pi);
}

// Block B: version B, TP and TA of the other network; block C this station's PI, block D
// the other network's.
Group otherNetworkSwitchingGroup(const Programme& programme, const OtherNetwork& other, bool ta) {
  Group g = versionAGroup(programme, 14, bitFlag(other.tp, 4) | bitFlag(ta, 3), programme.pi, other.pi);
  g.blocks[1] |= bitFlag(true, 11);
  return g;
}

// Block B: the segment address (bits 2-0); four bytes in blocks C and D.
Group longPsGroup(const Programme& programme, int segment, std::string_view longPs) {
  std::string air(longPs.substr(0, 32));
  if (air.size() < 32) air.push_back('\r');
  air.resize(32, ' ');
  const std::string_view chars = std::string_view(air).substr(4 * static_cast<std::size_t>(segment), 4);
  return versionAGroup(programme, 15, bitField(static_cast<unsigned>(segment), 0, 3),
                       characterPair(chars[0], chars[1]), characterPair(chars[2], chars[3]));
}

// Block B: item toggle, item running, the first content type's top three bits; block C:
// the rest of it, start, length less one, the second type's top bit; block D: the rest of
// it, start, length less one.
Group radioTextPlusGroup(const Programme& programme, int groupType, bool toggle, bool running,
                         const RadioTextPlusTag& first, const RadioTextPlusTag& second) {
  const auto t1 = static_cast<unsigned>(first.contentType);
  const auto t2 = static_cast<unsigned>(second.contentType);
  const auto blockC = static_cast<std::uint16_t>(
      bitField(t1, 13, 3) | bitField(static_cast<unsigned>(first.start), 7, 6) |
      bitField(static_cast<unsigned>(first.length - 1), 1, 6) | bitField(t2 >> 5, 0, 1));
  const auto blockD =
      static_cast<std::uint16_t>(bitField(t2, 11, 5) | bitField(static_cast<unsigned>(second.start), 5, 6) |
                                 bitField(static_cast<unsigned>(second.length - 1), 0, 5));
  return versionAGroup(programme, groupType,
                       bitFlag(toggle, 4) | bitFlag(running, 3) | bitField(t1 >> 3, 0, 3), blockC, blockD);
}

}  // namespace tallowmere
