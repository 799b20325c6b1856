#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tallowmere {

// The programme item number: the scheduled start of the programme on air.
struct ProgrammeItemNumber {
  int day = 0;  // of the month, 1 to 31
  int hour = 0;
  int minute = 0;
  bool operator==(const ProgrammeItemNumber&) const = default;
};

// The four decoder identification bits, each from its own segment.
struct DecoderIdentification {
  std::optional<bool> stereo;
  std::optional<bool> artificialHead;
  std::optional<bool> compressed;
  std::optional<bool> dynamicPty;
  bool operator==(const DecoderIdentification&) const = default;
};

// The alternative frequencies, in kHz. Method A: one list, in the order sent. Method B:
// one list per tuned frequency, each other frequency carrying the same programme or a
// regional variant of it.
struct AlternativeFrequencies {
  struct ListB {
    int tuned = 0;
    std::vector<int> same;
    std::vector<int> regional;
    bool operator==(const ListB&) const = default;
  };
  char method = 'A';
  std::vector<int> frequencies;  // method A
  std::vector<ListB> lists;      // method B, by tuned frequency
  bool operator==(const AlternativeFrequencies&) const = default;
};

// The station's clock: local time as the station gives it.
struct StationClock {
  int modifiedJulianDay = 0;
  int hour = 0;  // UTC
  int minute = 0;
  int offsetHalfHours = 0;  // local time minus UTC
  bool operator==(const StationClock&) const = default;
};

// An open data application the station announces in 3A.
struct OpenDataApplication {
  std::uint16_t aid = 0;
  std::optional<int> group;  // the group type that carries it, as groupsByType counts; none: 3A only
  bool operator==(const OpenDataApplication&) const = default;
};

// RadioText Plus: the running item's tags, each by its content type, cut from the current
// RadioText (the station's bytes, trailing blanks trimmed).
struct RadioTextPlus {
  bool running = false;
  int toggle = 0;
  std::map<int, std::string> tags;
  bool operator==(const RadioTextPlus&) const = default;
};

// A frequency of the station tuned that maps to one of another network, in kHz.
struct MappedFrequency {
  int tuned = 0;
  int other = 0;
  auto operator<=>(const MappedFrequency&) const = default;
};

// Another network of the same broadcaster, as EON (14A, 14B) describes it.
struct EonNetwork {
  std::uint16_t pi = 0;
  std::optional<std::string> ps;
  std::optional<int> pty;
  std::optional<bool> tp;
  std::optional<bool> ta;
  std::vector<int> af;  // kHz, method A
  std::vector<MappedFrequency> mapped;
  std::optional<ProgrammeItemNumber> pin;
  std::optional<std::uint16_t> linkage;  // LA, EG, ILS and the linkage set number, as sent
  bool operator==(const EonNetwork&) const = default;
};

// One RDS-TMC user message (ALERT-C): numbers only.
struct TmcUserMessage {
  int event = 0;
  int location = 0;
  int extent = 0;
  bool negativeDirection = false;
  std::optional<int> duration;  // duration and persistence, 0 to 7
  bool diversion = false;
  bool multiGroup = false;
  auto operator<=>(const TmcUserMessage&) const = default;
};

// The TMC service the station carries, and its distinct messages since the retune.
struct TmcService {
  // What makes a message distinct: location, event, direction, extent.
  using Key = std::tuple<int, int, bool, int>;
  std::optional<int> locationTable;  // 0: an encrypted service
  std::optional<int> serviceId;
  std::optional<unsigned> scope;  // international, national, regional, urban: bits 3 to 0
  std::map<Key, TmcUserMessage> messages;
  bool operator==(const TmcService&) const = default;
};

// What the station's RDS says, decoded to the standard and confirmed: a fact not yet
// known is empty. Texts keep the station's bytes.
struct Station {
  std::optional<std::uint16_t> pi;
  std::optional<int> pty;
  std::optional<bool> tp;
  std::optional<bool> ta;
  std::optional<bool> music;  // MS: music rather than speech
  DecoderIdentification di;
  std::optional<std::string> ps;
  std::optional<int> ecc;
  std::optional<int> language;
  std::optional<ProgrammeItemNumber> pin;
  std::optional<AlternativeFrequencies> af;
  std::array<std::optional<std::string>, 2> radioText;  // by A/B flag
  std::optional<int> radioTextFlag;                     // the flag of the last RadioText group
  std::optional<StationClock> clock;
  std::optional<std::string> ptyn;    // the programme type name; none for a blank one
  std::optional<std::string> longPs;  // UTF-8, as sent
  std::optional<RadioTextPlus> radioTextPlus;
  std::vector<OpenDataApplication> applications;  // in the order first confirmed
  std::vector<EonNetwork> otherNetworks;          // those whose PS is confirmed, by PI
  std::optional<TmcService> tmc;
  std::array<long long, 32> groupsByType{};  // 0 to 15 for 0A to 15A, 16 to 31 for 0B to 15B
  double groupRate = 0;                      // groups per second over the last minute

  // The RadioText of the flag in use.
  const std::optional<std::string>& currentRadioText() const {
    static const std::optional<std::string> kNone;
    return radioTextFlag ? radioText[static_cast<std::size_t>(*radioTextFlag)] : kNone;
  }
};

}  // namespace tallowmere
