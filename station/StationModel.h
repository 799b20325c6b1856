#pragma once

#include <array>
#include <functional>
#include <vector>

#include "form/FormEvents.h"
#include "station/AfLists.h"
#include "station/Blocks.h"
#include "station/Confirmed.h"
#include "station/OtherNetworks.h"
#include "station/RadioTextPlusTags.h"
#include "station/SegmentedText.h"
#include "station/Station.h"
#include "station/StationEvents.h"
#include "station/TrafficMessages.h"

namespace tallowmere {

// The second decoder, beside the window's: each group's blocks decoded as the RDS standard
// (IEC 62106) lays them out into the typed, confirmed facts of a Station, and each change
// told to the listeners. It keeps no file and knows nothing of the window. It listens to
// the form: the groups it decoded, and the retunes and lost receivers that end a station.
class StationModel : public FormEvents {
 public:
  // secondsNow: a steady clock in seconds, for the group rate.
  explicit StationModel(std::function<double()> secondsNow) : secondsNow_(std::move(secondsNow)) {}

  void addListener(StationEvents* listener) { listeners_.push_back(listener); }
  void group(const Blocks& blocks);
  // A retune or a lost receiver: the facts belong to the previous station.
  void reset();
  int tunedKhz() const { return tunedKhz_; }

  const Station& station() const { return station_; }

  void groupDecoded(const GroupRecord& g, const DecoderState& s) override;
  void tuned(std::string_view frequencyDigits, ChangeBy by) override;
  void retuned() override { reset(); }
  void receiverLost() override { reset(); }

 private:
  using Change = void (StationEvents::*)(const Station&);
  void tell(Change change);
  void basicTuning(const Blocks& b, bool versionB);
  bool switching(std::uint16_t blockB);
  void slowLabelling(const Blocks& b, bool versionB);
  void radioText(const Blocks& b, bool versionB);
  void clockTime(const Blocks& b);
  void applicationAnnounced(const Blocks& b);
  void programmeTypeName(const Blocks& b);
  void longPs(const Blocks& b);
  void radioTextPlus();
  void otherGroup(int typeIndex, const Blocks& b);
  void countGroup(int typeIndex);
  void nextSecond(double now);

  std::function<double()> secondsNow_;
  std::vector<StationEvents*> listeners_;
  Station station_;
  int tunedKhz_ = 0;

  // The receptions behind the facts.
  Confirmed<std::uint16_t> pi_;
  Confirmed<int> pty_;
  Confirmed<bool> tp_;
  Confirmed<bool> ta_;
  Confirmed<bool> music_;
  std::array<Confirmed<bool>, 4> di_;  // by segment: dynamic PTY, compressed, artificial head, stereo
  Confirmed<int> ecc_;
  Confirmed<int> language_;
  Confirmed<ProgrammeItemNumber> pin_;
  SegmentedText ps_{4, 2, SegmentedText::End::FullLength};
  std::array<SegmentedText, 2> radioText_{SegmentedText{16, 4, SegmentedText::End::CarriageReturn},
                                          SegmentedText{16, 4, SegmentedText::End::CarriageReturn}};
  std::array<bool, 2> radioTextOfVersionB_{};
  Confirmed<int> radioTextFlag_;
  std::optional<int> lastRadioTextFlag_;
  AfLists af_;
  std::map<std::uint16_t, Confirmed<int>> applications_;  // by application id: the group type
  SegmentedText ptyn_{2, 4, SegmentedText::End::FullLength};
  Confirmed<int> ptynFlag_;
  std::optional<int> lastPtynFlag_;
  SegmentedText longPs_{8, 4, SegmentedText::End::CarriageReturn};
  std::optional<int> radioTextPlusGroup_;
  RadioTextPlusTags radioTextPlus_;
  bool radioTextPlusWaits_ = false;  // tags heard while the text on air was not confirmed
  OtherNetworks otherNetworks_;
  TrafficMessages tmc_;
  // Groups in each of the last 60 seconds, by whole second.
  std::array<long long, 60> groupsInSecond_{};
  long long groupsInMinute_ = 0;
  long long lastSecond_ = -1;
  double firstGroupAt_ = -1;
};

}  // namespace tallowmere
