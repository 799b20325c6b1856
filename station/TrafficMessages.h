#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

#include "station/Blocks.h"
#include "station/Confirmed.h"
#include "station/Station.h"

namespace tallowmere {

// The RDS-TMC service (ALERT-C, ISO 14819-1): its system information from the 3A
// announcement and its user messages from 8A, single-group ones and multi-group ones
// assembled. A value counts once two receptions carry it alike, a message once it was
// received twice alike; the fact is written into the station's.
class TrafficMessages {
 public:
  // Block C of a 3A announcing TMC; true when the service's table, id or scope changed.
  bool systemInformation(std::uint16_t message, std::optional<TmcService>& fact);
  // One 8A group; true when a distinct message counted for the first time.
  bool receive(const Blocks& b, std::optional<TmcService>& fact);

 private:
  struct Assembly {
    int continuity = 0;
    TmcUserMessage first;
    int nextSequence = -1;  // the group sequence id the next group carries; -1 before the second
    // 28 bits of optional content from each later group: the second and at most three more.
    std::array<std::uint32_t, 4> content{};
    std::size_t groups = 0;
  };
  void subsequent(const Blocks& b, int continuity, std::optional<TmcService>& fact, bool& counted);
  bool take(const TmcUserMessage& message, std::optional<TmcService>& fact);

  Confirmed<int> locationTable_;
  Confirmed<int> serviceId_;
  Confirmed<unsigned> scope_;
  std::optional<Assembly> assembly_;
  // Every field of a message packed into one number, for the set of those heard.
  struct Packed {
    std::size_t operator()(const TmcUserMessage& m) const;
  };
  std::unordered_set<TmcUserMessage, Packed> heardOnce_;
};

}  // namespace tallowmere
