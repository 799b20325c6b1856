#include "station/StationModel.h"

#include <algorithm>
#include <cmath>

namespace tallowmere {
namespace {

// Group types by their number; a B version counts 16 on.
constexpr int kBasicTuning = 0;
constexpr int kSlowLabelling = 1;
constexpr int kRadioText = 2;
constexpr int kApplicationAnnouncement = 3;
constexpr int kClockTime = 4;
constexpr int kTmcMessage = 8;
constexpr int kProgrammeTypeName = 10;
constexpr int kOtherNetworks = 14;
constexpr int kNoGroup = 0;     // in 3A: the application is carried in no group of its own
constexpr int kDataFault = 31;  // in 3A: the encoder has a fault
constexpr std::size_t kApplicationsHeld = 32;
constexpr std::uint16_t kRadioTextPlus = 0x4BD7;
constexpr std::uint16_t kTmc = 0xCD46;
constexpr std::uint16_t kTmcToo = 0xCD47;  // the second id of RDS-TMC ALERT-C
constexpr int kFastSwitching = 15;

constexpr int kEarliestClockDay = 15'079;  // 1900-03-01, the first day the clock can give
constexpr int kMaxOffsetHalfHours = 28;
constexpr double kRateSpan = 60;

// The characters of blocks, two each, the first in the high byte.
template <std::size_t N>
struct Characters {
  explicit Characters(std::array<std::uint16_t, N / 2> blocks) {
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      bytes[2 * i] = static_cast<char>(blocks[i] >> 8);
      bytes[2 * i + 1] = static_cast<char>(blocks[i] & 0xFF);
    }
  }
  std::string_view view() const { return {bytes.data(), N}; }
  std::array<char, N> bytes{};
};

}  // namespace

void StationModel::groupDecoded(const GroupRecord& g, const DecoderState& /*s*/) {
  if (const auto blocks = blocksOf(g)) group(*blocks);
}

// The digits are in 10 kHz.
void StationModel::tuned(std::string_view frequencyDigits, ChangeBy /*by*/) {
  int tens = 0;
  for (const char digit : frequencyDigits) tens = tens * 10 + (digit - '0');
  tunedKhz_ = tens * 10;
}

void StationModel::tell(Change change) {
  for (StationEvents* listener : listeners_) (listener->*change)(station_);
}

void StationModel::reset() {
  station_ = Station{};
  pi_ = {};
  pty_ = {};
  tp_ = {};
  ta_ = {};
  music_ = {};
  di_ = {};
  ecc_ = {};
  language_ = {};
  pin_ = {};
  ps_ = SegmentedText{4, 2, SegmentedText::End::FullLength};
  radioText_ = {SegmentedText{16, 4, SegmentedText::End::CarriageReturn},
                SegmentedText{16, 4, SegmentedText::End::CarriageReturn}};
  radioTextOfVersionB_ = {};
  radioTextFlag_ = {};
  lastRadioTextFlag_.reset();
  af_.reset();
  applications_.clear();
  ptyn_ = SegmentedText{2, 4, SegmentedText::End::FullLength};
  ptynFlag_ = {};
  lastPtynFlag_.reset();
  longPs_ = SegmentedText{8, 4, SegmentedText::End::CarriageReturn};
  radioTextPlusGroup_.reset();
  radioTextPlus_ = {};
  radioTextPlusWaits_ = false;
  otherNetworks_ = {};
  tmc_ = {};
  groupsInSecond_ = {};
  groupsInMinute_ = 0;
  lastSecond_ = -1;
  firstGroupAt_ = -1;
  tell(&StationEvents::stationReset);
}

// Block A: the PI; block B of every group: type, version, TP and PTY.
void StationModel::group(const Blocks& b) {
  const int type = static_cast<int>(bitsOf(b[1], 12, 4));
  const bool versionB = bitOf(b[1], 11);
  countGroup(type + (versionB ? 16 : 0));
  if (pi_.receive(b[0]) && update(station_.pi, pi_.fact())) tell(&StationEvents::piChanged);
  if (pty_.receive(static_cast<int>(bitsOf(b[1], 5, 5))) && update(station_.pty, pty_.fact())) {
    tell(&StationEvents::ptyChanged);
  }
  bool flags = tp_.receive(bitOf(b[1], 10)) && update(station_.tp, tp_.fact());
  switch (type) {
    case kBasicTuning:
      flags = switching(b[1]) || flags;
      basicTuning(b, versionB);
      break;
    case kSlowLabelling:
      slowLabelling(b, versionB);
      break;
    case kRadioText:
      radioText(b, versionB);
      break;
    case kClockTime:
      if (!versionB) clockTime(b);
      break;
    case kFastSwitching:
      if (versionB) flags = switching(b[1]) || flags;
      if (!versionB) longPs(b);
      break;
    default:
      otherGroup(type + (versionB ? 16 : 0), b);
      break;
  }
  if (flags) tell(&StationEvents::flagsChanged);
}

// Block B of 0A, 0B and 15B: TA, MS, and the DI bit of the segment the address names.
// True when TA or MS changed.
bool StationModel::switching(std::uint16_t blockB) {
  bool flags = ta_.receive(bitOf(blockB, 4)) && update(station_.ta, ta_.fact());
  flags = (music_.receive(bitOf(blockB, 3)) && update(station_.music, music_.fact())) || flags;
  const unsigned segment = bitsOf(blockB, 0, 2);
  Confirmed<bool>& bit = di_[segment];
  if (!bit.receive(bitOf(blockB, 2))) return flags;
  DecoderIdentification& di = station_.di;
  std::optional<bool>* const bySegment[4] = {&di.dynamicPty, &di.compressed, &di.artificialHead, &di.stereo};
  if (update(*bySegment[segment], bit.fact())) tell(&StationEvents::decoderIdentificationChanged);
  return flags;
}

// 0A and 0B: two characters of the PS in block D; 0A: AF in block C.
void StationModel::basicTuning(const Blocks& b, bool versionB) {
  if (ps_.receive(bitsOf(b[1], 0, 2), Characters<2>({b[3]}).view()) && update(station_.ps, ps_.fact())) {
    tell(&StationEvents::psChanged);
  }
  if (!versionB && af_.receive(b[2])) {
    station_.af = af_.fact();
    tell(&StationEvents::alternativeFrequenciesChanged);
  }
}

// 1A block C: the variant, with the ECC (variant 0) or the language (variant 3); 1A and
// 1B block D: the programme item number, day 0 for none.
void StationModel::slowLabelling(const Blocks& b, bool versionB) {
  if (!versionB) {
    const unsigned variant = bitsOf(b[2], 12, 3);
    if (variant == 0 && ecc_.receive(static_cast<int>(bitsOf(b[2], 0, 8))) &&
        update(station_.ecc, ecc_.fact())) {
      tell(&StationEvents::eccChanged);
    }
    if (variant == 3 && language_.receive(static_cast<int>(bitsOf(b[2], 0, 12))) &&
        update(station_.language, language_.fact())) {
      tell(&StationEvents::languageChanged);
    }
  }
  const ProgrammeItemNumber item{static_cast<int>(bitsOf(b[3], 11, 5)), static_cast<int>(bitsOf(b[3], 6, 5)),
                                 static_cast<int>(bitsOf(b[3], 0, 6))};
  if (item.hour > 23 || item.minute > 59 || !pin_.receive(item)) return;
  const std::optional<ProgrammeItemNumber> pin = item.day == 0 ? std::nullopt : pin_.fact();
  if (update(station_.pin, pin)) tell(&StationEvents::programmeItemChanged);
}

// 3A, 8A, 10A, 14A and 14B, and the group 3A names for RadioText Plus.
void StationModel::otherGroup(int typeIndex, const Blocks& b) {
  if (radioTextPlusGroup_ == typeIndex) {
    if (radioTextPlus_.receive(b)) radioTextPlus();
    return;
  }
  switch (typeIndex) {
    case kApplicationAnnouncement:
      applicationAnnounced(b);
      break;
    case kTmcMessage:
      if (tmc_.receive(b, station_.tmc)) tell(&StationEvents::tmcChanged);
      break;
    case kProgrammeTypeName:
      programmeTypeName(b);
      break;
    case kOtherNetworks:
    case kOtherNetworks + 16:
      if (otherNetworks_.receive(b, typeIndex > 16)) {
        station_.otherNetworks = otherNetworks_.listed();
        tell(&StationEvents::otherNetworksChanged);
      }
      break;
    default:
      break;
  }
}

// 3A: block B the group type that carries the application (type, then version), block C
// the application's own message, block D its id.
void StationModel::applicationAnnounced(const Blocks& b) {
  const std::uint16_t aid = b[3];
  const auto group = static_cast<int>(bitsOf(b[1], 1, 4) + (bitOf(b[1], 0) ? 16 : 0));
  if (group == kDataFault) return;
  if ((aid == kTmc || aid == kTmcToo) && tmc_.systemInformation(b[2], station_.tmc)) {
    tell(&StationEvents::tmcChanged);
  }
  if (!applications_.contains(aid) && applications_.size() >= kApplicationsHeld) return;
  Confirmed<int>& confirmed = applications_[aid];
  if (!confirmed.receive(group)) return;
  const std::optional<int> carrier = group == kNoGroup ? std::nullopt : std::optional<int>(group);
  auto& list = station_.applications;
  const auto it = std::ranges::find(list, aid, &OpenDataApplication::aid);
  if (it == list.end()) {
    list.push_back({aid, carrier});
  } else {
    it->group = carrier;
  }
  if (aid == kRadioTextPlus) radioTextPlusGroup_ = carrier;
  tell(&StationEvents::applicationsChanged);
}

// 10A: block B the A/B flag (bit 4), which clears the name, and the segment (bit 0); four
// characters in blocks C and D. A name of blanks and control characters is none.
void StationModel::programmeTypeName(const Blocks& b) {
  const int flag = bitOf(b[1], 4) ? 1 : 0;
  if (lastPtynFlag_ && *lastPtynFlag_ != flag) ptyn_ = SegmentedText{2, 4, SegmentedText::End::FullLength};
  lastPtynFlag_ = flag;
  if (ptynFlag_.receive(flag) && update(station_.ptyn, std::optional<std::string>())) {
    tell(&StationEvents::programmeTypeNameChanged);
  }
  if (!ptyn_.receive(bitsOf(b[1], 0, 1), Characters<4>({b[2], b[3]}).view())) return;
  const std::string& name = *ptyn_.fact();
  const bool blank = std::ranges::all_of(name, [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  if (update(station_.ptyn, blank ? std::nullopt : ptyn_.fact()))
    tell(&StationEvents::programmeTypeNameChanged);
}

// 15A: the segment (block B bits 2-0), four bytes of the 32-byte long PS in blocks C, D.
void StationModel::longPs(const Blocks& b) {
  if (longPs_.receive(bitsOf(b[1], 0, 3), Characters<4>({b[2], b[3]}).view()) &&
      update(station_.longPs, longPs_.fact())) {
    tell(&StationEvents::longPsChanged);
  }
}

// The RT+ tags cut from the RadioText on air, once that text is confirmed whole.
void StationModel::radioTextPlus() {
  radioTextPlusWaits_ = false;
  if (!radioTextPlus_.heard() || !station_.radioTextFlag) return;
  const SegmentedText& text = radioText_[static_cast<std::size_t>(*station_.radioTextFlag)];
  if (!text.whole() || !text.fact()) {
    radioTextPlusWaits_ = true;
    return;
  }
  const std::optional<RadioTextPlus> item = radioTextPlus_.cut(*text.fact());
  if (update(station_.radioTextPlus, item)) tell(&StationEvents::radioTextPlusChanged);
}

// Block B: the A/B flag and the segment address; 2A carries four characters in blocks C
// and D, 2B two in block D. A toggled flag announces a new text.
void StationModel::radioText(const Blocks& b, bool versionB) {
  const int flag = bitOf(b[1], 4) ? 1 : 0;
  const auto index = static_cast<std::size_t>(flag);
  SegmentedText& text = radioText_[index];
  if (lastRadioTextFlag_ && *lastRadioTextFlag_ != flag) {
    text.restart();
    radioTextPlus_.forgetTags();
  }
  lastRadioTextFlag_ = flag;
  if (radioTextOfVersionB_[index] != versionB) {
    radioTextOfVersionB_[index] = versionB;
    text = SegmentedText{16, versionB ? 2u : 4u, SegmentedText::End::CarriageReturn};
  }
  // The flag in use changes the current text when the two texts differ.
  const bool flagChanged = radioTextFlag_.receive(flag) && station_.radioText[0] != station_.radioText[1];
  station_.radioTextFlag = radioTextFlag_.fact();
  const auto segment = bitsOf(b[1], 0, 4);
  const bool textChanged = (versionB ? text.receive(segment, Characters<2>({b[3]}).view())
                                     : text.receive(segment, Characters<4>({b[2], b[3]}).view())) &&
                           update(station_.radioText[index], text.fact());
  if (textChanged || flagChanged) tell(&StationEvents::radioTextChanged);
  if (textChanged || radioTextPlusWaits_) radioTextPlus();
}

// 4A, from the last two bits of block B on: the Modified Julian Day (17 bits), the UTC
// hour (5) and minute (6), the offset's sign and the offset in half hours (5).
void StationModel::clockTime(const Blocks& b) {
  const StationClock clock{static_cast<int>(bitsOf(b[1], 0, 2) << 15 | bitsOf(b[2], 1, 15)),
                           static_cast<int>(bitsOf(b[2], 0, 1) << 4 | bitsOf(b[3], 12, 4)),
                           static_cast<int>(bitsOf(b[3], 6, 6)),
                           (bitOf(b[3], 5) ? -1 : 1) * static_cast<int>(bitsOf(b[3], 0, 5))};
  if (clock.modifiedJulianDay < kEarliestClockDay || clock.hour > 23 || clock.minute > 59 ||
      std::abs(clock.offsetHalfHours) > kMaxOffsetHalfHours) {
    return;
  }
  if (update(station_.clock, std::optional<StationClock>(clock))) tell(&StationEvents::clockChanged);
}

void StationModel::countGroup(int typeIndex) {
  ++station_.groupsByType[static_cast<std::size_t>(typeIndex)];
  ++groupsInMinute_;
  const double now = secondsNow_();
  // Most groups come within the second of the one before.
  if (firstGroupAt_ < 0 || now >= static_cast<double>(lastSecond_ + 1)) nextSecond(now);
  ++groupsInSecond_[static_cast<std::size_t>(lastSecond_ % 60)];
}

// A group in a later second: the rate of the minute up to now, then the seconds that
// passed leave the minute.
void StationModel::nextSecond(double now) {
  const auto second = static_cast<long long>(std::floor(now));
  if (firstGroupAt_ < 0) {
    firstGroupAt_ = now;
    lastSecond_ = second;
  }
  if (second > lastSecond_) {
    const double span = now - std::max(firstGroupAt_, static_cast<double>(second - 60));
    station_.groupRate = static_cast<double>(groupsInMinute_) / std::clamp(span, 1.0, kRateSpan);
    for (long long s = lastSecond_ + 1; s <= std::min(second, lastSecond_ + 60); ++s) {
      long long& count = groupsInSecond_[static_cast<std::size_t>(s % 60)];
      groupsInMinute_ -= count;
      count = 0;
    }
    lastSecond_ = second;
  }
}

}  // namespace tallowmere
