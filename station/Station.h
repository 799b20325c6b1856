#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
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
  std::array<long long, 32> groupsByType{};  // 0 to 15 for 0A to 15A, 16 to 31 for 0B to 15B
  double groupRate = 0;                      // groups per second over the last minute

  // The RadioText of the flag in use.
  const std::optional<std::string>& currentRadioText() const {
    static const std::optional<std::string> kNone;
    return radioTextFlag ? radioText[static_cast<std::size_t>(*radioTextFlag)] : kNone;
  }
};

}  // namespace tallowmere
