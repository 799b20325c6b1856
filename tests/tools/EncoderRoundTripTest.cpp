// Content built by the simulated receiver's encoder, written as group lines and read
// back through tallowmere-replay: what the station sends is what the monitor shows.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"
#include "tools/sim/GroupEncoder.h"
#include "tools/sim/GroupSequence.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono;
using Groups = std::vector<Group>;

constexpr Programme kFolk{.pi = 0xC7F3, .tp = false, .pty = 28};
constexpr Programme kTravel{.pi = 0xC4B2, .tp = true, .pty = 10};
constexpr char kValley[] = "Dale FM - music and travel news for the whole valley";
constexpr char kHarbour[] = "Now playing: The Lanterns - Harbour Lights";

Groups psName(const Programme& p, const SwitchingFlags& flags, std::initializer_list<int> segments) {
  Groups g;
  for (const int s : segments) g.push_back(basicTuningGroup(p, flags, s, "DALE FM ", 0xE0CD));
  return g;
}

// Each text in turn, A then B, 32 groups of its segments as a station repeats them.
Groups texts(std::initializer_list<std::string_view> list, TextEnd end = TextEnd::Spaces) {
  Groups g;
  for (const std::string_view text : list) {
    const std::string air = radioTextForAir(text, end);
    for (std::size_t i = 0; i < 32; ++i)
      g.push_back(radioTextGroup(kTravel, text != *list.begin(), i % (air.size() / 4), air));
  }
  return g;
}

Groups clockAt(sys_days day, minutes time, int offsetHalfHours) {
  return {clockTimeGroup(kTravel, clockTimeAt(sys_seconds{day + time}, offsetHalfHours))};
}

// Version B of a group: the version bit set and the PI again in block C.
Group versionB(Group g) {
  g.blocks[1] |= 0x0800;
  g.blocks[2] = g.blocks[0];
  return g;
}

// A built-in station's groups over its first seconds after tuning, at the RDS rate of
// 1187.5 bit/s, 104 bits a group, with the wall clock starting at 08:59:50 UTC.
Groups station(std::string_view digits, seconds length) {
  GroupSequence sequence(*stationOn(digits));
  const sys_seconds start = sys_days{2024y / June / 1} + 8h + 59min + 50s;
  Groups g;
  for (milliseconds at{0}; at < length; at = milliseconds{std::ssize(g) * 208000 / 2375}) {
    g.push_back(sequence.next(at, WallClock{start + floor<seconds>(at), 2}));
  }
  return g;
}

QString padded(const char* text) {
  return QString(text).leftJustified(64);
}

// The texts some fields show, and the indicators lit and dark (names separated by spaces).
struct RoundTrip {
  const char* name;
  std::function<Groups()> groups;
  std::vector<std::pair<const char*, QString>> texts;
  QString lit = {}, dark = {};
};

// clang-format off
const RoundTrip kRoundTrips[] = {
    {"PsPtyMsAndDecoderIdentification",
     [] { return psName(kFolk, {.ta = false, .music = false, .decoderId = 0b1001}, {3, 1, 0, 2}); },
     {{"lblPS", "DALE FM "}, {"lblPI", "C7F3"}, {"lblPTY", "28 - Folk"}, {"lblTP", "0"}, {"lblMS", "0"},
      {"lblDIdynPTY", "1"}, {"lblDIcomp", "0"}, {"lblDIhead", "0"}, {"lblDIstereo", "1"}}, "", "lblshowTP lblShowTA"},
    {"HalfAPsNameDuringATrafficAnnouncement", [] { return psName(kTravel, {.ta = true}, {2, 3, 2, 3, 2, 3}); },
     {{"lblPS", "____ FM "}, {"lblPTY", "10 - Pop Music"}, {"lblMS", "1"}, {"lblTraffic", "TRAFFIC ANNOUNCEMENT"}},
     "lblshowTP lblShowTA"},
    {"RadioTextBAfterA", [] { return texts({kValley, kHarbour}); },
     {{"lblRadioText", padded(kHarbour)}, {"lblRTA", padded(kValley)}, {"lblRTB", padded(kHarbour)}}, "lblshowRT"},
    {"ShortTextEndsWithCarriageReturn", [] { return texts({"Up next: Ada Fairweather live"}, TextEnd::CarriageReturn); },
     {{"lblRadioText", "Up next: Ada Fairweather live\r  " + QString(32, '_')}}},
    {"ClockOnALeapDayBeforeLocalMidnight", [] { return clockAt(2024y / February / 29, 23h + 45min, 4); },
     {{"lblUTCtime", "23:45"}, {"lblUTCdate", "2024-02-29"}, {"lblCToffset", "2"}, {"lblClockTime", "01:45"}},
     "lblshowCT"},
    {"ClockWestOfGreenwichWithAHalfHour", [] { return clockAt(2023y / December / 31, 2h + 10min, -7); },
     {{"lblUTCdate", "2023-12-31"}, {"lblCToffset", "-3.5"}, {"lblClockTime", "22:40"}}},
    {"TmcAnnounced",
     [] { return Groups{applicationAnnouncementGroup(kTravel, 8, tmcSystemInformation(7), kTmcApplicationId)}; },
     {}, "lblshowTMC lbl3A"},
    {"GroupTypesPresent",
     [] { return Groups{slowLabellingGroup(kTravel, 0xE1, {12, 14, 0}), tmcGroup(kTravel, {.event = 701}),
                        programmeTypeNameGroup(kTravel, false, 1, "POP HITS"),
                        otherNetworkGroup(kTravel, {.pi = 0xC7F3, .ps = "FEN&FOLK", .tp = false}, 3),
                        versionB(basicTuningGroup(kTravel, {}, 0, "DALE FM ", 0xE0CD))}; },
     {}, "lbl1A lbl8A lbl10A lbl14A lbl0b", "lbl0A lbl1B lbl8B lbl14b lbl12A"},
    {"DaleFmDuringItsFirstAnnouncement", [] { return station("8880", 25s); },
     {{"lblPS", "DALE FM "}, {"lblPI", "C4B2"}, {"lblPTY", "10 - Pop Music"}, {"lblRadioText", padded(kValley)},
      {"lblTraffic", "TRAFFIC ANNOUNCEMENT"}, {"lblUTCtime", "09:00"}, {"lblClockTime", "10:00"},
      {"lblUTCdate", "2024-06-01"}}, "lblshowTMC lbl1A lbl3A lbl8A lbl10A lbl14A", "lbl0b"},
    {"DaleFmAfterItsFirstAnnouncement", [] { return station("8880", 45s); },
     {{"lblTraffic", "NORMAL BROADCAST"}, {"lblRadioText", padded(kHarbour)}, {"lblRTA", padded(kValley)}}},
    {"FenAndFolk", [] { return station("10450", 20s); },
     {{"lblPS", "FEN&FOLK"}, {"lblPI", "C7F3"}, {"lblPTY", "28 - Folk"},
      {"lblRadioText", "Fen & Folk: songs from the marshes\r " + QString(28, '_')}},
     "lblshowCT lbl1A lbl10A", "lblshowTP lblShowTA lblshowTMC lbl14A"},
};
// clang-format on

class EncoderRoundTrip : public InWorkingFolder, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(EncoderRoundTrip, MonitorShowsWhatWasSent) {
  std::string transcript;
  for (const Group& g : GetParam().groups()) transcript += groupLine(g);
  writeFile("groups.txt", transcript);
  const QJsonObject dump = replay({"groups.txt"}).last();
  EXPECT_EQ(dump["decoded"].toInteger(), std::ranges::count(transcript, '\n'));
  for (const auto& [field, text] : GetParam().texts) EXPECT_EQ(shown(dump, field), text) << field;
  for (const QString& f : GetParam().lit.split(' ', Qt::SkipEmptyParts))
    EXPECT_EQ(shown(dump, f, "fg"), "#FFFFFF") << f.toStdString();
  for (const QString& f : GetParam().dark.split(' ', Qt::SkipEmptyParts))
    EXPECT_EQ(shown(dump, f, "fg"), "#808080") << f.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Content, EncoderRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const ::testing::TestParamInfo<RoundTrip>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowmere::test
