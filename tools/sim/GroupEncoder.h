#pragma once

// The RDS encoder: builds the groups of a station from its content, one function per
// group type, with the block layouts of IEC 62106.
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/Group.h"

namespace tallowmere {

// --- 0A: basic tuning and switching information ---------------------------------------

// The switching flags a station sends in every 0A group.
struct SwitchingFlags {
  bool ta = false;    // traffic announcement on air
  bool music = true;  // MS: music rather than speech
  // Decoder identification d3..d0 (dynamic PTY, compressed, artificial head, stereo):
  // segment k carries bit 3 - k.
  unsigned decoderId = 0b0001;
};

// Segment 0 to 3 of the 8-character PS name with its DI bit. blockC is the
// alternative-frequency pair (see alternativeFrequencyPair).
Group basicTuningGroup(const Programme& programme, const SwitchingFlags& flags, int segment,
                       std::string_view ps, std::uint16_t blockC);

// Block C of the index-th 0A group of a cycle that sends the AF list by method A: first
// the count (224 + n) with the first frequency, then the others two by two, the filler
// code 205 making up the last pair. Frequencies are in 100 kHz units (888 is 88.8 MHz).
// An empty list gives "no AF" with a filler, 0xE0CD.
std::uint16_t alternativeFrequencyPair(std::span<const int> frequencies, std::size_t index);
std::size_t alternativeFrequencyPairCount(std::span<const int> frequencies);

// --- 2A: RadioText --------------------------------------------------------------------

enum class TextEnd { CarriageReturn, Spaces };

// The text as it goes on air: at most 64 characters; a shorter one either ends with CR
// (0x0D) followed by spaces up to the end of its segment, so the segments after it are
// never sent, or is padded with spaces to the full 64.
std::string radioTextForAir(std::string_view text, TextEnd end);

// Segment 0 to 15 (four characters) of a text prepared by radioTextForAir.
Group radioTextGroup(const Programme& programme, bool textB, int segment, std::string_view airText);

// --- 3A and 8A: an Open Data Application and RDS-TMC ---------------------------------

inline constexpr std::uint16_t kTmcApplicationId = 0xCD46;
inline constexpr std::uint16_t kRadioTextPlusApplicationId = 0x4BD7;

// Announces that application aid runs in groups of type applicationGroup, version A.
Group applicationAnnouncementGroup(const Programme& programme, int applicationGroup, std::uint16_t message,
                                   std::uint16_t aid);

// The TMC system information carried in the 3A announcement: variant 0, the location
// table; variant 1, the service id.
std::uint16_t tmcSystemInformation(int locationTable);
std::uint16_t tmcServiceIdentifier(int serviceId);

// A single-group TMC user message.
struct TmcMessage {
  int event = 0;               // 11-bit event code
  std::uint16_t location = 0;  // location code in the station's table
  int extent = 0;              // how many further locations it covers, 0 to 7
  bool negativeDirection = false;
  int duration = 0;  // duration and persistence, 0 to 7
  bool diversion = false;
};
Group tmcGroup(const Programme& programme, const TmcMessage& message);

// A TMC label of a multi-group message's optional content: label 0 is the duration, 1 a
// control code (5: diversion advised), and so on, each of its own width.
struct TmcLabel {
  int label = 0;
  unsigned value = 0;
};
// A multi-group TMC message: the first group with the message's event, location, extent
// and direction, then as many groups as the optional content needs (at least one), each
// with 28 bits of it. Its duration and diversion go only where the labels carry them.
std::vector<Group> tmcMultiGroup(const Programme& programme, const TmcMessage& message, int continuity,
                                 std::span<const TmcLabel> content);

// --- RadioText Plus ------------------------------------------------------------------

// One RT+ tag: the content type (1 item.title, 4 item.artist, ...) and where the text is in
// the RadioText, from character 0.
struct RadioTextPlusTag {
  int contentType = 0;
  int start = 0;
  int length = 0;
};
// The RT+ group on the group type its 3A announces: the item toggle and running bits and
// two tags (the second at most 32 characters long).
Group radioTextPlusGroup(const Programme& programme, int groupType, bool toggle, bool running,
                         const RadioTextPlusTag& first, const RadioTextPlusTag& second);

// --- 15A: long PS ------------------------------------------------------------------------

// Segment 0 to 7 of the 32-byte long PS in UTF-8, as sent: a shorter one is ended by CR
// and padded with blanks.
Group longPsGroup(const Programme& programme, int segment, std::string_view longPs);

// --- 4A: clock time -------------------------------------------------------------------

struct ClockTime {
  int modifiedJulianDay = 0;
  int hour = 0;             // UTC
  int minute = 0;           // UTC
  int offsetHalfHours = 0;  // local time minus UTC, signed
};
ClockTime clockTimeAt(std::chrono::sys_seconds utc, int offsetHalfHours);
Group clockTimeGroup(const Programme& programme, const ClockTime& time);

// --- 1A, 10A and 14A ------------------------------------------------------------------

// Programme item number: the scheduled start of the programme on air.
struct ProgrammeItem {
  int day = 0;  // of the month; 0 means no item number
  int hour = 0;
  int minute = 0;
};
// 1A: slow labelling variant 0 (extended country code) and the programme item number.
Group slowLabellingGroup(const Programme& programme, std::uint8_t extendedCountryCode,
                         const ProgrammeItem& item);

// 10A: segment 0 or 1 of the 8-character programme type name.
Group programmeTypeNameGroup(const Programme& programme, bool nameB, int segment, std::string_view name);

// Another programme of the same broadcaster, described in 14A groups.
struct OtherNetwork {
  std::uint16_t pi = 0;
  std::string_view ps;  // 8 characters
  bool tp = false;
};
// 14A variant 0 to 3: segment 'variant' of the other network's PS name.
Group otherNetworkGroup(const Programme& programme, const OtherNetwork& other, int variant);
// 14A variants 4 to 15 with their block C: two AF codes (4), a tuned and a mapped
// frequency code (5 to 9), linkage (12), PTY in bits 15-11 and TA in bit 0 (13), a
// programme item number (14).
Group otherNetworkGroup(const Programme& programme, const OtherNetwork& other, int variant,
                        std::uint16_t blockC);
// 14B: the other network's TP and TA, as it switches to a traffic announcement.
Group otherNetworkSwitchingGroup(const Programme& programme, const OtherNetwork& other, bool ta);

}  // namespace tallowmere
