// The built-in stations of the simulated receiver, a group every 104 bits at 1187.5 bit/s from 08:59:50
// UTC, and a version B group, written as lines and read back through tallowmere-replay (Fen & Folk's
// lines fill more than one read of the file). The indicators lit are in the dump's order.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"
#include "tools/sim/GroupEncoder.h"
#include "tools/sim/GroupSequence.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono;
using EncoderRoundTrip = InWorkingFolder;

TEST_F(EncoderRoundTrip, MonitorShowsWhatWasSent) {
  const auto station = [](std::string_view digits, seconds length) {
    GroupSequence sequence(*stationOn(digits));
    std::vector<Group> g;
    for (milliseconds at{0}; at < length; at = milliseconds{std::ssize(g) * 208000 / 2375})
      g.push_back(sequence.next(at, {sys_days{2024y / June / 1} + 9h - 10s + floor<seconds>(at), 2}));
    return g;
  };
  // clang-format off
  const std::tuple<std::vector<Group>, QString, std::vector<std::pair<const char*, QString>>> rows[] = {
      {station("8880", 25s), "0A 10A 12A 14A 15A 1A 2A 3A 4A 8A ShowTA showCT showRT showTMC showTP",
      {{"lblRadioText", QString("Dale FM - music and travel news for the whole valley").leftJustified(64)}}},
      {station("8880", 45s), "0A 10A 12A 14A 15A 1A 2A 3A 4A 8A showCT showRT showTMC showTP",
      {{"lblRadioText", QString("Now playing: The Lanterns - Harbour Lights").leftJustified(64)}}},
      {station("10450", 290s), "0A 10A 1A 2A 4A showCT showRT", {{"lblPS", "FEN&FOLK"},
        {"lblClockTime", "10:04"}, {"lblRadioText", "Up next: Ada Fairweather live\r  " + QString(32, '_')}}},
      {{Group{{0xC4B2, 0x0800, 0xC4B2, 0x4441}}}, "0b", {{"lblPS", "DA______"}}}};  // 0B: the PI in block C
  // clang-format on
  for (const auto& [groups, lit, texts] : rows) {
    std::string transcript;
    for (const Group& g : groups) transcript += groupLine(g);
    writeFile("groups.txt", transcript.substr(0, transcript.size() - 1));  // the last line's LF is not needed
    const QJsonObject dump = replay({"groups.txt"}).last();
    EXPECT_EQ(dump["decoded"].toInteger(), std::ranges::count(transcript, '\n'));
    for (const auto& [field, text] : texts) EXPECT_EQ(shown(dump, field), text) << field;
    QStringList on = dump["fields"].toObject().keys().filter(QRegularExpression("^lbl([Ss]how|\\d)"));
    on.removeIf([&](const QString& f) { return shown(dump, f, "fg") != "#FFFFFF"; });
    EXPECT_EQ(on.join(' ').remove("lbl"), lit);
  }
}

}  // namespace
}  // namespace tallowmere::test
