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
