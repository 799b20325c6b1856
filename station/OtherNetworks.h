#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "station/AfLists.h"
#include "station/Blocks.h"
#include "station/Confirmed.h"
#include "station/SegmentedText.h"
#include "station/Station.h"

namespace tallowmere {

// The other networks EON describes (14A variants, 14B), each confirmed as the station's own
// facts are. A network is listed once its PS is confirmed, so the one-off PIs of noise
// never are; those are forgotten first when too many networks were heard.
class OtherNetworks {
 public:
  // One 14A or 14B group; true when a listed network changed or was listed.
  bool receive(const Blocks& b, bool versionB);
  // The listed networks, by PI.
  std::vector<EonNetwork> listed() const;

 private:
  struct Heard {
    SegmentedText ps{4, 2, SegmentedText::End::FullLength};
    Confirmed<int> pty;
    Confirmed<bool> tp;
    Confirmed<bool> ta;
    AfLists af;
    std::array<Confirmed<std::uint16_t>, 5> mapped;  // variants 5 to 9
    Confirmed<ProgrammeItemNumber> pin;
    Confirmed<std::uint16_t> linkage;
    EonNetwork fact;
  };
  Heard* network(std::uint16_t pi);
  static bool variant(Heard& n, unsigned variant, std::uint16_t blockC);

  std::map<std::uint16_t, Heard> networks_;
};

}  // namespace tallowmere
