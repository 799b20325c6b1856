// Content built by the simulated receiver's encoder, written as group lines and read
// back through tallowmere-replay: what the station sends is what the monitor shows.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"
#include "tools/sim/GroupEncoder.h"
#include "tools/sim/GroupSequence.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono;
using Groups = std::vector<Group>;

// What one field should show: a text, or lit / dark for an indicator.
struct Expect {
  const char* field;
  std::optional<QString> text;
  std::optional<bool> lit;
  std::optional<QString> background;
};
Expect shows(const char* field, const QString& text) { return {field, text, {}, {}}; }
Expect lit(const char* field) { return {field, {}, true, {}}; }
Expect dark(const char* field) { return {field, {}, false, {}}; }
Expect onBackground(const char* field, const char* colour) { return {field, {}, {}, QString(colour)}; }

struct RoundTrip {
  const char* name;
  std::function<Groups()> groups;
  std::vector<Expect> expected;
};

constexpr Programme kFolk{.pi = 0xC7F3, .tp = false, .pty = 28};
constexpr Programme kTravel{.pi = 0xC4B2, .tp = true, .pty = 10};

Groups psName(const Programme& p, std::string_view ps, const SwitchingFlags& flags,
              std::initializer_list<int> segments) {
  Groups g;
  for (const int s : segments) g.push_back(basicTuningGroup(p, flags, s, ps, 0xE0CD));
  return g;
}

// count 2A groups of one text, its segments in turn, as a station repeats them.
void addText(Groups& g, std::string_view text, TextEnd end, bool textB, int count) {
  const std::string air = radioTextForAir(text, end);
  const int segments = static_cast<int>(air.size() / 4);
  for (int i = 0; i < count; ++i) g.push_back(radioTextGroup(kTravel, textB, i % segments, air));
}

// 0A groups of one programme with TA on or off; the PS is not the point here.
void addTraffic(Groups& g, const Programme& p, bool ta, int count) {
  SwitchingFlags flags;
  flags.ta = ta;
  for (int i = 0; i < count; ++i) g.push_back(basicTuningGroup(p, flags, i % 4, "TRAVEL  ", 0xE0CD));
}

Group clockAt(sys_days day, minutes time, int offsetHalfHours) {
  return clockTimeGroup(kTravel, clockTimeAt(sys_seconds{day + time}, offsetHalfHours));
}

// A built-in station's groups over its first seconds after tuning, at the RDS rate of
// 1187.5 bit/s, 104 bits a group, with the wall clock starting at 08:59:50 UTC.
Groups station(std::string_view digits, seconds length) {
  GroupSequence sequence(*stationOn(digits));
  const sys_seconds start = sys_days{2024y / June / 1} + 8h + 59min + 50s;
  Groups g;
  for (long i = 0;; ++i) {
    const milliseconds at{i * 208000 / 2375};
    if (at >= length) return g;
    g.push_back(sequence.next(at, WallClock{start + floor<seconds>(at), 2}));
  }
}

QString padded(const char* text) { return QString(text).leftJustified(64, ' '); }

const QString kValley = padded("Dale FM - music and travel news for the whole valley");
const QString kHarbour = padded("Now playing: The Lanterns - Harbour Lights");

const RoundTrip kRoundTrips[] = {
    {"PsPiPtyAndDecoderIdentification",
     [] { return psName(kFolk, "FEN&FOLK", {.ta = false, .music = false, .decoderId = 0b1001}, {3, 1, 0, 2}); },
     {shows("lblPS", "FEN&FOLK"), shows("lblPI", "C7F3"), shows("lblPTY", "28 - Folk"), shows("lblTP", "0"),
      shows("lblMS", "0"), shows("lblDIdynPTY", "1"), shows("lblDIcomp", "0"), shows("lblDIhead", "0"),
      shows("lblDIstereo", "1"), dark("lblshowTP")}},
    {"HalfAPsName",
     [] { return psName(kTravel, "DALE FM ", {}, {2, 3}); },
     {shows("lblPS", "____ FM "), shows("lblPTY", "10 - Pop Music"), shows("lblMS", "1"), lit("lblshowTP")}},
    {"FullRadioTextPublished",
     [] {
       Groups g;
       addText(g, "Dale FM - music and travel news for the whole valley", TextEnd::Spaces, false, 30);
       return g;
     },
     {shows("lblRadioText", kValley), shows("lblRTA", kValley), onBackground("lblcapA", "#008000"),
      lit("lblshowRT")}},
    {"NewTextFlipsTheAbFlag",
     [] {
       Groups g;
       addText(g, "Dale FM - music and travel news for the whole valley", TextEnd::Spaces, false, 32);
       addText(g, "Now playing: The Lanterns - Harbour Lights", TextEnd::Spaces, true, 30);
       return g;
     },
     {shows("lblRadioText", kHarbour), shows("lblRTA", kValley), shows("lblRTB", kHarbour),
      onBackground("lblcapA", "#000000"), onBackground("lblCapB", "#008000"), shows("lblRDScount", "30")}},
    {"NewTextNotYetPublished",
     [] {
       Groups g;
       addText(g, "Dale FM - music and travel news for the whole valley", TextEnd::Spaces, false, 40);
       addText(g, "Now playing: The Lanterns - Harbour Lights", TextEnd::Spaces, true, 3);
       return g;
     },
     {shows("lblRadioText", kValley), shows("lblRTB", QString("Now playing:") + QString(52, '_'))}},
    {"ShortTextEndsWithCarriageReturn",
     [] {
       Groups g;
       addText(g, "Up next: Ada Fairweather live", TextEnd::CarriageReturn, false, 30);
       return g;
     },
     {shows("lblRadioText", QString("Up next: Ada Fairweather live\r  ") + QString(32, '_'))}},
    {"TrafficAnnouncementStarts",
     [] {
       Groups g;
       addTraffic(g, kTravel, false, 4);
       addTraffic(g, kTravel, true, 4);
       return g;
     },
     {shows("lblTraffic", "TRAFFIC ANNOUNCEMENT"), onBackground("lblTraffic", "#FF0000"), lit("lblShowTA"),
      lit("lblshowTP"), dark("lblShowEON")}},
    {"TrafficAnnouncementEnds",
     [] {
       Groups g;
       addTraffic(g, kTravel, false, 4);
       addTraffic(g, kTravel, true, 40);
       addTraffic(g, kTravel, false, 4);
       return g;
     },
     {shows("lblTraffic", "NORMAL BROADCAST"), onBackground("lblTraffic", "#008000"), dark("lblShowTA")}},
    {"TaWithoutTpIsOtherNetworkTraffic",
     [] {
       Groups g;
       addTraffic(g, kFolk, true, 8);
       return g;
     },
     {shows("lblTraffic", "NORMAL BROADCAST"), lit("lblShowTA"), lit("lblShowEON"), dark("lblshowTP")}},
    {"ClockOnALeapDayBeforeLocalMidnight",
     [] { return Groups{clockAt(2024y / February / 29, 23h + 45min, 4)}; },
     {shows("lblUTCtime", "23:45"), shows("lblUTCdate", "2024-02-29"), shows("lblCToffset", "2"),
      shows("lblClockTime", "01:45"), lit("lblshowCT")}},
    {"ClockWestOfGreenwichWithAHalfHour",
     [] { return Groups{clockAt(2023y / December / 31, 2h + 10min, -7)}; },
     {shows("lblUTCtime", "02:10"), shows("lblUTCdate", "2023-12-31"), shows("lblCToffset", "-3.5"),
      shows("lblClockTime", "22:40")}},
    {"TmcAnnounced",
     [] { return Groups{applicationAnnouncementGroup(kTravel, 8, tmcSystemInformation(7), kTmcApplicationId)}; },
     {lit("lblshowTMC"), lit("lbl3A")}},
    {"OtherApplicationIsNotTmc",
     [] { return Groups{applicationAnnouncementGroup(kTravel, 12, 0x0000, 0x4BD7)}; },
     {dark("lblshowTMC"), lit("lbl3A")}},
    {"PresenceRow",
     [] {
       return Groups{slowLabellingGroup(kTravel, 0xE1, {12, 14, 0}),
                     tmcGroup(kTravel, {.event = 701, .location = 0x2A17}),
                     programmeTypeNameGroup(kTravel, false, 1, "POP HITS"),
                     otherNetworkGroup(kTravel, {.pi = 0xC7F3, .ps = "FEN&FOLK", .tp = false}, 3)};
     },
     {lit("lbl1A"), lit("lbl8A"), lit("lbl10A"), lit("lbl14A"), dark("lbl0A"), dark("lbl1B"), dark("lbl8B"),
      dark("lbl14b"), dark("lbl12A"), shows("lblPI", "C4B2")}},
    {"DaleFmDuringItsFirstAnnouncement",
     [] { return station("8880", 25s); },
     {shows("lblPS", "DALE FM "), shows("lblPI", "C4B2"), shows("lblPTY", "10 - Pop Music"),
      shows("lblTraffic", "TRAFFIC ANNOUNCEMENT"), shows("lblRadioText", kValley), shows("lblUTCtime", "09:00"),
      shows("lblClockTime", "10:00"), shows("lblUTCdate", "2024-06-01"), lit("lblshowCT"), lit("lblshowTMC"),
      lit("lblshowRT"), lit("lblshowTP"), lit("lblShowTA"), lit("lbl1A"), lit("lbl3A"), lit("lbl8A"),
      lit("lbl10A"), lit("lbl14A"), dark("lbl0b")}},
    {"DaleFmAfterItsFirstAnnouncement",
     [] { return station("8880", 45s); },
     {shows("lblTraffic", "NORMAL BROADCAST"), dark("lblShowTA"), shows("lblRadioText", kHarbour),
      shows("lblRTA", kValley), onBackground("lblCapB", "#008000")}},
    {"FenAndFolk",
     [] { return station("10450", 20s); },
     {shows("lblPS", "FEN&FOLK"), shows("lblPI", "C7F3"), shows("lblTP", "0"), shows("lblPTY", "28 - Folk"),
      shows("lblTraffic", "NORMAL BROADCAST"), shows("lblRadioText", QString("Fen & Folk: songs from the marshes\r ") + QString(28, '_')),
      dark("lblshowTP"), dark("lblShowTA"), dark("lblshowTMC"), lit("lblshowCT"), lit("lbl1A"), lit("lbl10A"),
      dark("lbl3A"), dark("lbl8A"), dark("lbl14A")}},
};

void PrintTo(const RoundTrip& roundTrip, std::ostream* os) { *os << roundTrip.name; }

class EncoderRoundTrip : public InWorkingFolder, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(EncoderRoundTrip, MonitorShowsWhatWasSent) {
  writeIni("[Tallowmere]\nCOMport=1\nFrequency=88.8\n");
  const Groups groups = GetParam().groups();
  std::string transcript;
  for (const Group& g : groups) transcript += groupLine(g);
  writeFile("groups.txt", transcript);

  const ReplayOutcome out = replayTranscript(REPLAY_BINARY, "groups.txt");
  ASSERT_EQ(out.status, 0) << out.err;
  EXPECT_EQ(out.decoded(), static_cast<long>(groups.size()));
  for (const Expect& e : GetParam().expected) {
    if (e.text) {
      EXPECT_EQ(out.text(e.field), *e.text) << e.field;
    }
    if (e.lit) {
      EXPECT_EQ(out.lit(e.field), *e.lit) << e.field << " has text colour " << out.foreground(e.field).toStdString();
    }
    if (e.background) {
      EXPECT_EQ(out.background(e.field), *e.background) << e.field;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Content, EncoderRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const ::testing::TestParamInfo<RoundTrip>& info) { return info.param.name; });

}  // namespace
}  // namespace tallowmere::test
