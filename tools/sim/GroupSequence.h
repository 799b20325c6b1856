#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "tools/sim/Group.h"
#include "tools/sim/Station.h"

namespace tallowmere {

// The host's clock as a station's CT would carry it.
struct WallClock {
  std::chrono::sys_seconds utc;
  int offsetHalfHours = 0;
};

// The groups a station sends, one after the other, in a mix like a real station's:
// mostly 0A and 2A, one of the other types in every fifth slot, and 4A at every change
// of minute. The content follows the time since tuning: the RadioText changes every
// text period and traffic announcements keep their schedule.
class GroupSequence {
 public:
  explicit GroupSequence(const Station& station);

  Group next(std::chrono::milliseconds sinceTune, const WallClock& clock);

  bool trafficAnnouncementOn(std::chrono::milliseconds sinceTune) const;

 private:
  enum class Extra {
    TmcMessage,
    TmcAnnouncement,
    OtherNetwork,
    SlowLabelling,
    ProgrammeTypeName,
    LongPs,
    RadioTextPlus,
    RadioTextPlusAnnouncement
  };

  bool clockDue(std::chrono::milliseconds sinceTune, const WallClock& clock) const;
  Group basicTuning(std::chrono::milliseconds sinceTune);
  Group radioText(std::chrono::milliseconds sinceTune);
  Group extra();

  const Station& station_;
  std::vector<Extra> extras_;
  std::size_t slot_ = 0;
  int psSegment_ = 0;
  std::size_t afPair_ = 0;
  std::optional<long> textNumber_;  // how many text periods had passed at the last 2A
  std::string airText_;
  int textSegment_ = 0;
  std::size_t extra_ = 0;
  std::size_t tmcMessage_ = 0;
  int otherNetworkVariant_ = 0;
  int nameSegment_ = 0;
  int longPsSegment_ = 0;
  int tmcVariant_ = 0;
  std::optional<std::chrono::sys_time<std::chrono::minutes>> clockMinute_;  // of the last 4A
};

}  // namespace tallowmere
