#include "tools/sim/GroupSequence.h"

#include <array>

namespace tallowmere {
namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

enum class Slot { Basic, Text, Extra };

// Ten groups, a little under a second on air.
constexpr std::array<Slot, 10> kSlots = {Slot::Basic, Slot::Text, Slot::Basic, Slot::Text, Slot::Extra,
                                         Slot::Basic, Slot::Text, Slot::Basic, Slot::Text, Slot::Extra};

// A receiver that has just tuned gets the time within seconds, not only at the next
// change of minute.
constexpr milliseconds kFirstClockAfter = 2s;
constexpr int kRadioTextPlusGroup = 12;  // 12A

}  // namespace

GroupSequence::GroupSequence(const Station& station) : station_(station) {
  // TMC messages and the long PS take a good share of the extra slots, so that a receiver
  // has them within half a minute; the rest go round the other types.
  using enum Extra;
  for (const Extra e : {TmcAnnouncement,   LongPs, TmcMessage,
                        RadioTextPlus,     LongPs, OtherNetwork,
                        TmcMessage,        LongPs, RadioTextPlusAnnouncement,
                        OtherNetwork,      LongPs, TmcMessage,
                        SlowLabelling,     LongPs, RadioTextPlus,
                        ProgrammeTypeName, LongPs, TmcMessage,
                        OtherNetwork,      LongPs}) {
    const bool sent = (e != TmcAnnouncement && e != TmcMessage) || !station.tmcMessages.empty();
    const bool rtPlus = e != RadioTextPlus && e != RadioTextPlusAnnouncement;
    if (!sent || (e == OtherNetwork && !station.otherNetwork) || (e == LongPs && station.longPs.empty()) ||
        (!rtPlus && station.radioTextPlus.empty())) {
      continue;
    }
    extras_.push_back(e);
  }
}

bool GroupSequence::trafficAnnouncementOn(milliseconds sinceTune) const {
  if (!station_.traffic) return false;
  const TrafficSchedule& t = *station_.traffic;
  return sinceTune >= t.firstAfter && (sinceTune - t.firstAfter) % t.every < t.length;
}

bool GroupSequence::clockDue(milliseconds sinceTune, const WallClock& clock) const {
  if (!clockMinute_) return sinceTune >= kFirstClockAfter;
  return std::chrono::floor<std::chrono::minutes>(clock.utc) != *clockMinute_;
}

Group GroupSequence::next(milliseconds sinceTune, const WallClock& clock) {
  if (clockDue(sinceTune, clock)) {
    clockMinute_ = std::chrono::floor<std::chrono::minutes>(clock.utc);
    return clockTimeGroup(station_.programme, clockTimeAt(clock.utc, clock.offsetHalfHours));
  }
  const Slot slot = kSlots[slot_];
  slot_ = (slot_ + 1) % kSlots.size();
  switch (slot) {
    case Slot::Basic:
      return basicTuning(sinceTune);
    case Slot::Text:
      return radioText(sinceTune);
    case Slot::Extra:
      break;
  }
  return extras_.empty() ? basicTuning(sinceTune) : extra();
}

Group GroupSequence::basicTuning(milliseconds sinceTune) {
  SwitchingFlags flags = station_.flags;
  flags.ta = trafficAnnouncementOn(sinceTune);
  const std::uint16_t af = alternativeFrequencyPair(station_.alternativeFrequencies, afPair_);
  afPair_ = (afPair_ + 1) % alternativeFrequencyPairCount(station_.alternativeFrequencies);
  const Group g = basicTuningGroup(station_.programme, flags, psSegment_, station_.ps, af);
  psSegment_ = (psSegment_ + 1) % 4;
  return g;
}

// Each new text flips the A/B flag, so a receiver clears its buffer and starts over.
Group GroupSequence::radioText(milliseconds sinceTune) {
  const long number = static_cast<long>(sinceTune / station_.textPeriod);
  if (number != textNumber_) {
    textNumber_ = number;
    const std::size_t index = static_cast<std::size_t>(number) % station_.radioTexts.size();
    airText_ = radioTextForAir(station_.radioTexts[index], station_.textEnd);
    textSegment_ = 0;
  }
  const bool textB = station_.radioTexts.size() > 1 && number % 2 == 1;
  const Group g = radioTextGroup(station_.programme, textB, textSegment_, airText_);
  textSegment_ = (textSegment_ + 1) % static_cast<int>(airText_.size() / 4);
  return g;
}

Group GroupSequence::extra() {
  const Extra e = extras_[extra_];
  extra_ = (extra_ + 1) % extras_.size();
  const Programme& p = station_.programme;
  switch (e) {
    case Extra::TmcAnnouncement:
      tmcVariant_ = 1 - tmcVariant_;
      return applicationAnnouncementGroup(p, 8,
                                          tmcVariant_ == 1 ? tmcSystemInformation(station_.tmcLocationTable)
                                                           : tmcServiceIdentifier(station_.tmcServiceId),
                                          kTmcApplicationId);
    case Extra::RadioTextPlusAnnouncement:
      return applicationAnnouncementGroup(p, kRadioTextPlusGroup, 0, kRadioTextPlusApplicationId);
    case Extra::RadioTextPlus: {
      // The tags of the text on air; each new text toggles the item.
      const long number = textNumber_.value_or(0);
      const auto& tags =
          station_.radioTextPlus[static_cast<std::size_t>(number) % station_.radioTextPlus.size()];
      return radioTextPlusGroup(p, kRadioTextPlusGroup, number % 2 == 1, tags[0].contentType != 0, tags[0],
                                tags[1]);
    }
    case Extra::LongPs: {
      const Group g = longPsGroup(p, longPsSegment_, station_.longPs);
      longPsSegment_ = (longPsSegment_ + 1) % 8;
      return g;
    }
    case Extra::TmcMessage: {
      const TmcMessage& m = station_.tmcMessages[tmcMessage_];
      tmcMessage_ = (tmcMessage_ + 1) % station_.tmcMessages.size();
      return tmcGroup(p, m);
    }
    case Extra::OtherNetwork: {
      const Group g = otherNetworkGroup(p, *station_.otherNetwork, otherNetworkVariant_);
      otherNetworkVariant_ = (otherNetworkVariant_ + 1) % 4;
      return g;
    }
    case Extra::SlowLabelling:
      return slowLabellingGroup(p, station_.extendedCountryCode, station_.programmeItem);
    case Extra::ProgrammeTypeName:
      break;
  }
  const Group g = programmeTypeNameGroup(p, false, nameSegment_, station_.programmeTypeName);
  nameSegment_ = (nameSegment_ + 1) % 2;
  return g;
}

}  // namespace tallowmere
