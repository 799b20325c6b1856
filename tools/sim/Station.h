#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "tools/sim/GroupEncoder.h"

namespace tallowmere {

// When a station's traffic announcements are on air, counted from the moment the
// receiver tuned to it.
struct TrafficSchedule {
  std::chrono::seconds firstAfter;
  std::chrono::seconds length;
  std::chrono::seconds every;
};

// Everything a built-in station broadcasts.
struct Station {
  std::string_view frequencyDigits;  // as the tuning command carries them: "8880"
  Programme programme;
  std::string_view ps;  // 8 characters
  SwitchingFlags flags;
  std::span<const int> alternativeFrequencies;   // 100 kHz units
  std::span<const std::string_view> radioTexts;  // the next one every textPeriod
  // RadioText Plus, by text: the item's two tags (content type 0 for none); no item runs
  // while a text has neither. Empty: no RT+.
  std::span<const std::array<RadioTextPlusTag, 2>> radioTextPlus;
  TextEnd textEnd;
  std::chrono::seconds textPeriod;
  std::string_view programmeTypeName;  // 8 characters
  std::string_view longPs;             // UTF-8, at most 32 bytes; empty: none sent
  std::uint8_t extendedCountryCode;
  ProgrammeItem programmeItem;
  std::optional<OtherNetwork> otherNetwork;
  std::span<const TmcMessage> tmcMessages;  // empty: no TMC service
  int tmcLocationTable;
  int tmcServiceId;
  std::optional<TrafficSchedule> traffic;
};

// The station on a frequency, given as the digits of the tuning command, if any.
const Station* stationOn(std::string_view frequencyDigits);

}  // namespace tallowmere
