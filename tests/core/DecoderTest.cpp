// The decoders, fed groups of a station built with the simulated receiver's encoder:
// PS, PTY and the flags, the TA/EON/TP/TMC indicators and the traffic state, RadioText,
// clock time and the group-type presence row.
#include <gtest/gtest.h>

#include "rds/Decoders.h"
#include "tests/support/Harness.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using DecoderTest = InWorkingFolder;

TEST_F(DecoderTest, DecodesProgrammeTypeTpMsAndTheDiBitOfEachSegment) {
  // clang-format off
  struct Case { bool tp; int pty; bool music; int segment; unsigned decoderId; std::string ptyText;
    Field diField; std::string di; };
  const std::vector<Case> cases = {
      {true, 10, true, 0, 0b1000, "10 - Pop Music", Field::lblDIdynPTY, "1"},
      {true, 0, true, 0, 0b0111, "0 - No programme type defined", Field::lblDIdynPTY, "0"},
      {true, 31, true, 3, 0b0001, "31 - ALARM!", Field::lblDIstereo, "1"},
      {false, 14, true, 1, 0b0100, "14 - Serious Classical", Field::lblDIcomp, "1"},
      {false, 18, false, 2, 0b1101, "18 - Children's Programmes", Field::lblDIhead, "0"},
      {false, 9, false, 2, 0b0010, "9 - Varied", Field::lblDIhead, "1"},
  };
  // clang-format on
  for (const Case& c : cases) {
    Harness m;
    m.loadAndTune();
    TestStation s{{0xC204, c.tp, c.pty}, {false, c.music, c.decoderId}};
    m.receive(s.psLine(c.segment));
    EXPECT_EQ(m.text(Field::lblTP), c.tp ? "1" : "0") << c.ptyText;
    EXPECT_EQ(m.text(Field::lblPTY), c.ptyText);
    EXPECT_EQ(m.text(Field::lblMS), c.music ? "1" : "0") << c.ptyText;
    for (Field f : {Field::lblDIdynPTY, Field::lblDIcomp, Field::lblDIhead, Field::lblDIstereo}) {
      EXPECT_EQ(m.text(f), f == c.diField ? c.di : "?") << c.ptyText << " " << nameOf(f);
    }
  }
  Harness m;  // 0B decodes like 0A
  m.loadAndTune();
  m.receive(hexLine("C204", "0926", "C204", "4142"));
  EXPECT_EQ(m.text(Field::lblPTY), "9 - Varied");
  EXPECT_EQ(m.text(Field::lblPS), "____AB__");
}

TEST_F(DecoderTest, AssemblesPsTwoCharactersAtATimeWithoutConfirmation) {
  Harness m;
  m.loadAndTune();
  TestStation s{{0xC204, false, 9}, {}};
  m.receive(s.rtLine(false, 0, "ABCD"));  // another type first
  EXPECT_EQ(m.text(Field::lblPS), "________");
  EXPECT_EQ(m.text(Field::lblTP), "?");
  EXPECT_EQ(m.text(Field::lblPTY), "NONE");
  s.ps = "BBC R4  ";
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> steps = {
      {s.psLine(3), "______  "}, {s.psLine(2), "____R4  "}, {s.psLine(1), "__C R4  "},
      {s.psLine(0), "BBC R4  "},
      {hexLine("C204", "0121", "E0CD", "26B1"), "BB&\xB1R4  "},  // a segment overwritten
      {hexLine("C204", "0120", "E0CD", "4-42"), "BB&\xB1R4  "},  // no bytes: PS kept
      {hexLine("C204", "0120", "E0CD", "4"), std::string("\0\x04&\xB1R4  ", 8)},
  };
  // clang-format on
  for (const auto& [line, ps] : steps) {
    m.receive(line);
    EXPECT_EQ(m.text(Field::lblPS), ps) << line;
  }
}

// The traffic state follows the TP and TA indicators: TA is this group's, TP the previous
// group's, so TP switching on takes effect one group late. TA without TP lights EON.
TEST_F(DecoderTest, TrafficStateFollowsTheIndicatorsIntoTheBannerAndTheFile) {
  struct Step {
    int type;  // 0: a 0A group with the TP and TA below, else a group of that type
    bool tp, ta;
    bool taLit, eonLit, tpLit;
    const char* banner;
    const char* file;
  };
  const char* normal = "NORMAL BROADCAST";
  const char* on = "TRAFFIC ANNOUNCEMENT";
  const std::vector<Step> steps = {
      {2, false, false, false, false, false, normal, " 0 \r\n"},  // the first group writes
      {0, false, true, true, true, false, normal, " 0 \r\n"},
      {2, false, false, true, true, false, normal, " 0 \r\n"},  // TA carried over
      {0, true, true, true, true, true, normal, " 0 \r\n"},     // TP lit for the next group
      {0, true, true, true, false, true, on, " 1 \r\n"},
      {2, true, false, true, false, true, on, " 1 \r\n"},
      {0, true, false, false, false, true, normal, " 0 \r\n"},  // TA off: at once
      {0, false, true, true, false, false, on, " 1 \r\n"},      // TP off: one group late
      {0, false, true, true, true, false, normal, " 0 \r\n"},
  };
  Harness m;
  m.loadAndTune();
  for (const Step& st : steps) {
    TestStation s{{0xD42A, st.tp, 10}, {st.ta}};
    m.receive(st.type == 0 ? s.psLine(0) : s.typeLine(st.type));
    const std::string what = std::to_string(&st - steps.data());
    EXPECT_EQ(m.lit(Field::lblShowTA), st.taLit) << what;
    EXPECT_EQ(m.field(Field::lblShowTA).background, colour::kBlack) << what;
    EXPECT_EQ(m.lit(Field::lblShowEON), st.eonLit) << what;
    EXPECT_EQ(m.lit(Field::lblshowTP), st.tpLit) << what;
    EXPECT_EQ(m.text(Field::lblTraffic), st.banner) << what;
    EXPECT_EQ(m.field(Field::lblTraffic).background, st.banner == on ? colour::kRed : colour::kGreen) << what;
    EXPECT_EQ(m.file("traffic.txt"), st.file) << what;
  }
  // An unchanged state is not written again.
  m.files.files.erase("traffic.txt");
  m.receive(TestStation{{0xD42A, false, 10}, {true}}.psLine(1));
  EXPECT_EQ(m.file("traffic.txt"), "(none)");
}

TEST_F(DecoderTest, RadioTextFillsItsBuffersAndIsPublishedAfterThirtyGroupsWithOneFlag) {
  Harness m;
  m.loadAndTune();
  const TestStation s;
  auto padded = [](std::string text) { return text.append(64 - text.size(), '_'); };
  m.receive(s.rtLine(false, 0, "ABCD"));
  EXPECT_EQ(m.text(Field::lblRTA), padded("ABCD"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1");
  EXPECT_EQ(m.field(Field::lblcapA).background, colour::kGreen);
  EXPECT_EQ(m.field(Field::lblCapB).background, colour::kBlack);
  EXPECT_EQ(m.text(Field::lblRadioText), "");
  EXPECT_TRUE(m.lit(Field::lblshowRT));
  m.receive(s.rtLine(false, 15, std::string(60, ' ') + "wxyz"));
  for (int i = 3; i <= 29; ++i) m.receive(s.rtLine(false, 1, "    EF&\r"));
  EXPECT_EQ(m.text(Field::lblRadioText), "");  // 29 groups: not yet
  m.receive(s.rtLine(false, 2, "        GHIJ"));
  const std::string published = "ABCDEF&\rGHIJ" + std::string(48, '_') + "wxyz";
  EXPECT_EQ(m.text(Field::lblRadioText), published);

  // A new flag clears only its own buffer and restarts the count; the published text
  // stays until 30 groups with the new flag have come. Back to A, A starts again.
  m.receive(s.rtLine(true, 0, "Neue"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1");
  EXPECT_EQ(m.text(Field::lblRTB), padded("Neue"));
  EXPECT_EQ(m.text(Field::lblRTA), published);
  EXPECT_EQ(m.text(Field::lblRadioText), published);
  EXPECT_EQ(m.field(Field::lblCapB).background, colour::kGreen);
  EXPECT_EQ(m.field(Field::lblcapA).background, colour::kBlack);
  // Segment digits that are not upper-case hexadecimal, blocks that are not hexadecimal
  // and 2B groups write nothing; the first two still count.
  for (const std::string& line :
       {hexLine("D42A", "241a", "4142", "4344"), hexLine("D42A", "2411", "4?42", "4344"),
        hexLine("D42A", "2C11", "4142", "4344")}) {
    m.receive(line);
  }
  EXPECT_EQ(m.text(Field::lblRDScount), "3");
  EXPECT_EQ(m.text(Field::lblRTB), padded("Neue"));
  m.receive(s.rtLine(false, 1, "    KLMN"));
  EXPECT_EQ(m.text(Field::lblRTA), padded("____KLMN"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1");

  // The count stops at 1000; a text complete by then is published.
  for (int i = 0; i < 1001; ++i) m.receive(s.rtLine(false, i % 16, std::string(64, 'x')));
  EXPECT_EQ(m.text(Field::lblRDScount), "1000");
  EXPECT_EQ(m.text(Field::lblRadioText), std::string(64, 'x'));
}

TEST(ClockTimeTest, ShowsUtcLocalTimeOffsetAndDate) {
  struct Case {
    ClockTime coded;  // Modified Julian Day, UTC hour and minute, offset in half hours
    std::string local, offset, utc, date;
  };
  const std::vector<Case> cases = {
      {{32768, 19, 0, 0}, "19:00", "0", "19:00", "1948-08-05"},
      {{0, 3, 21, 4}, "05:21", "2", "03:21", "1858-11-17"},
      {{0, 3, 21, -2}, "02:21", "-1", "03:21", "1858-11-17"},
      {{0, 0, 0, 0}, "00:00", "0", "00:00", "1858-11-17"},
      {{57847, 22, 13, 4}, "00:13", "2", "22:13", "2017-04-04"},  // across local midnight
      {{57847, 3, 21, 6}, "06:21", "3", "03:21", "2017-04-04"},
      {{57847, 3, 21, 1}, "03:51", "0.5", "03:21", "2017-04-04"},
      {{57848, 0, 0, -1}, "23:30", "-0.5", "00:00", "2017-04-05"},
      {{65600, 23, 59, 0}, "23:59", "0", "23:59", "2038-06-26"},  // the day number's 17th bit
      // Coded hours past 23 and minutes past 59, as noisy stations send them.
      {{57848, 28, 0, -10}, "23:00", "-5", "28:00", "2017-04-05"},
      {{59082, 28, 53, 4}, "28:53", "2", "28:53", "2020-08-21"},
      {{57847, 24, 0, 0}, "24:00", "0", "24:00", "2017-04-04"},
      {{57847, 3, 63, 1}, "03:63", "0.5", "03:63", "2017-04-04"},
      {{57847, 1, 60, -2}, "00:60", "-1", "01:60", "2017-04-04"},
  };
  for (const Case& c : cases) {
    DisplayModel w;
    GroupValues v;
    decodeClockTime(cutGroupLine(groupLine(clockTimeGroup(Programme{0xD314}, c.coded))), v, w);
    EXPECT_EQ(w[Field::lblClockTime].text, c.local) << c.utc << " " << c.offset;
    EXPECT_EQ(w[Field::lblCToffset].text, c.offset) << c.utc;
    EXPECT_EQ(w[Field::lblUTCtime].text, c.utc);
    EXPECT_EQ(w[Field::lblUTCdate].text, c.date) << c.utc;
    EXPECT_TRUE(w.isLit(Field::lblshowCT));
  }
  DisplayModel w;
  GroupValues v;
  decodeClockTime(cutGroupLine(hexLine("D314", "4400", "0000", "0020")), v, w);  // minus zero
  EXPECT_EQ(w[Field::lblCToffset].text, "0");
  decodeClockTime(cutGroupLine(hexLine("D314", "4C01", "0001", "3000")), v, w);  // 4B is not decoded
  EXPECT_EQ(w[Field::lblUTCtime].text, "00:00");
}

TEST_F(DecoderTest, PresenceRowAndTmcIndicatorLightWithTheGroupsSeen) {
  Harness m;
  m.loadAndTune();
  const TestStation s;
  // clang-format off
  const std::vector<std::pair<std::string, Field>> groups = {
      {s.typeLine(0), Field::lbl0A}, {s.typeLine(15), Field::lbl15A}, {hexLine("D42A", "0800", "0", "0"), Field::lbl0b},
      {hexLine("D42A", "3C00", "0", "0"), Field::lbl3b}, {hexLine("D42A", "F800", "0", "0"), Field::lbl15b}};
  for (const auto& [line, label] : groups) {
    m.receive(line);
    EXPECT_EQ(m.field(label).foreground, colour::kWhite) << line;
    EXPECT_EQ(m.field(label).background, colour::kGreen) << line;
    EXPECT_EQ(m.text(Field::lblGroup), definitionOf(label).createdText) << line;
  }
  // clang-format on
  EXPECT_FALSE(m.lit(Field::lbl1A));
  EXPECT_FALSE(m.lit(Field::lbl14b));
  EXPECT_TRUE(m.lit(Field::lbl0A));
  m.receive(hexLine("D42A", "2a00", "0", "0"));  // a lower-case version lights nothing
  EXPECT_FALSE(m.lit(Field::lbl2A));
  EXPECT_FALSE(m.lit(Field::lbl2B));
  // The TMC indicator lights for the TMC application's announcement in 3A only, and stays.
  for (const std::string& line : {hexLine("D42A", "3410", "0000", "cd46"), s.typeLine(3, 0, 0, 0x4BD7),
                                  s.typeLine(2, 0, 0, kTmcApplicationId)}) {
    m.receive(line);
    EXPECT_FALSE(m.lit(Field::lblshowTMC)) << line;
  }
  m.receive(s.typeLine(3, 0, 0, kTmcApplicationId));
  m.receive(s.typeLine(3, 0, 0, 0x4BD7));
  EXPECT_TRUE(m.lit(Field::lblshowTMC) && m.field(Field::lblshowTMC).background == colour::kGreen);
}

}  // namespace
}  // namespace tallowmere::test
