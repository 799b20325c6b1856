// Content built by the simulated receiver's encoder, written as group lines and read
// back through tallowmere-replay: what the station sends is what the monitor shows.
#include <gtest/gtest.h>

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
const QString kValley = QString("Dale FM - music and travel news for the whole valley").leftJustified(64);
const QString kHarbour = QString("Now playing: The Lanterns - Harbour Lights").leftJustified(64);

Groups clockAt(sys_seconds utc, int offsetHalfHours) {
  return {clockTimeGroup(kTravel, clockTimeAt(utc, offsetHalfHours))};
}

// A built-in station's groups over its first seconds after tuning, at the RDS rate of
// 1187.5 bit/s, 104 bits a group, with the wall clock starting at 08:59:50 UTC.
Groups station(std::string_view digits, seconds length) {
  GroupSequence sequence(*stationOn(digits));
  const sys_seconds start = sys_days{2024y / June / 1} + 8h + 59min + 50s;
  Groups g;
  for (milliseconds at{0}; at < length; at = milliseconds{std::ssize(g) * 208000 / 2375})
    g.push_back(sequence.next(at, WallClock{start + floor<seconds>(at), 2}));
  return g;
}

// The texts some fields show, and the indicators lit and dark (names separated by spaces).
// Fen & Folk's transcript is longer than one read of the file.
struct RoundTrip {
  const char* name;
  std::function<Groups()> groups;
  std::vector<std::pair<const char*, QString>> texts;
  QString lit = {}, dark = {};
};

// clang-format off
const RoundTrip kRoundTrips[] = {
    {"PsSegmentsInAnyOrderWithSpeechAndDecoderIdentification",
     [] {
       const SwitchingFlags speech{.music = false, .decoderId = 0b1001};
       const auto tune = [&](int s) { return basicTuningGroup(kFolk, speech, s, "FEN&FOLK", 0xE0CD); };
       return Groups{tune(3), tune(1), tune(0), tune(2)};
     },
     {{"lblPS", "FEN&FOLK"}, {"lblPI", "C7F3"}, {"lblPTY", "28 - Folk"}, {"lblTP", "0"}, {"lblMS", "0"},
      {"lblDIdynPTY", "1"}, {"lblDIcomp", "0"}, {"lblDIhead", "0"}, {"lblDIstereo", "1"}},
     "", "lblshowTP lblShowTA"},
    {"ClockOnALeapDayBeforeLocalMidnight",
     [] { return clockAt(sys_days{2024y / February / 29} + 23h + 45min, 4); },
     {{"lblUTCtime", "23:45"}, {"lblUTCdate", "2024-02-29"}, {"lblCToffset", "2"},
      {"lblClockTime", "01:45"}}},
    {"ClockWestOfGreenwichWithAHalfHour",
     [] { return clockAt(sys_days{2023y / December / 31} + 2h + 10min, -7); },
     {{"lblUTCdate", "2023-12-31"}, {"lblCToffset", "-3.5"}, {"lblClockTime", "22:40"}}},
    {"VersionB",
     [] {  // 0B: the version bit set, and the PI again in block C
       Group g = basicTuningGroup(kTravel, {}, 0, "DALE FM ", 0xE0CD);
       g.blocks[1] |= 0x0800;
       g.blocks[2] = kTravel.pi;
       return Groups{g};
     },
     {{"lblPS", "DA______"}}, "lbl0b", "lbl0A"},
    {"DaleFmDuringItsFirstAnnouncement", [] { return station("8880", 25s); },
     {{"lblPS", "DALE FM "}, {"lblPI", "C4B2"}, {"lblPTY", "10 - Pop Music"}, {"lblMS", "1"},
      {"lblRadioText", kValley}, {"lblTraffic", "TRAFFIC ANNOUNCEMENT"}, {"lblUTCtime", "09:00"},
      {"lblClockTime", "10:00"}, {"lblUTCdate", "2024-06-01"}},
     "lblshowTP lblShowTA lblshowRT lblshowCT lblshowTMC lbl1A lbl3A lbl8A lbl10A lbl14A",
     "lbl0b lbl1B lbl8B lbl14b lbl12A"},
    {"DaleFmAfterItsFirstAnnouncementWithItsNextText", [] { return station("8880", 45s); },
     {{"lblTraffic", "NORMAL BROADCAST"}, {"lblRadioText", kHarbour}, {"lblRTA", kValley},
      {"lblRTB", kHarbour}}, "", "lblShowTA"},
    {"FenAndFolkWithItsTextEndedByCarriageReturn", [] { return station("10450", 290s); },
     {{"lblPS", "FEN&FOLK"}, {"lblPI", "C7F3"}, {"lblPTY", "28 - Folk"}, {"lblUTCtime", "09:04"},
      {"lblRadioText", "Up next: Ada Fairweather live\r  " + QString(32, '_')}},
     "lbl1A lbl10A", "lblshowTP lblShowTA lblshowTMC lbl14A"},
};
// clang-format on

class EncoderRoundTrip : public InWorkingFolder, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(EncoderRoundTrip, MonitorShowsWhatWasSent) {
  std::string transcript;
  for (const Group& g : GetParam().groups()) transcript += groupLine(g);
  writeFile("groups.txt", transcript.substr(0, transcript.size() - 1));  // the last line's LF is not needed
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
