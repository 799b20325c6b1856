// The traffic banner and traffic.txt, the TP and TMC indicators, and clock time.
#include <gtest/gtest.h>

#include "rds/Decoders.h"
#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using TrafficTest = InWorkingFolder;

TEST_F(TrafficTest, FollowsTpAndTaIntoTheBannerAndTheFileOnlyOnAChange) {
  struct Step {
    std::string line;
    std::string banner;
    std::string file;
    bool tpLit;
  };
  const std::string normal = "NORMAL BROADCAST", ta = "TRAFFIC ANNOUNCEMENT";
  const std::vector<Step> steps = {
      {groupLine("D42A", "2000", "0000", "0000"), normal, " 0 \r\n", false},  // first group writes
      {groupLine("D42A", "0410", "0000", "0000"), normal, " 0 \r\n", true},   // TP one group late
      {groupLine("D42A", "1000", "0000", "0000"), ta, " 1 \r\n", true},
      {groupLine("D42A", "0410", "0000", "0000"), ta, " 1 \r\n", true},
      {groupLine("D42A", "0400", "0000", "0000"), normal, " 0 \r\n", true},   // TA off: same group
      {groupLine("D42A", "0410", "0000", "0000"), ta, " 1 \r\n", true},       // TP lit: same group
  };
  Monitor m;
  m.loadAndTune();
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");
  for (const Step& s : steps) {
    m.receive(s.line);
    EXPECT_EQ(m.text(Field::lblTraffic), s.banner) << s.line;
    EXPECT_EQ(m.field(Field::lblTraffic).background,
              s.banner == ta ? colour::kRed : colour::kGreen) << s.line;
    EXPECT_EQ(readFile("traffic.txt"), s.file) << s.line;
    EXPECT_EQ(m.form.fields().isLit(Field::lblshowTP), s.tpLit) << s.line;
  }
  // An unchanged state does not rewrite the file.
  std::filesystem::remove("traffic.txt");
  m.receive(groupLine("D42A", "0410", "0000", "0001"));
  EXPECT_FALSE(std::filesystem::exists("traffic.txt"));
}

TEST_F(TrafficTest, TmcIndicatorLightsOnlyForTheTmcApplication) {
  Monitor m;
  m.loadAndTune();
  for (const char* d : {"cd46", "4BD7", "0093"}) {
    m.receive(groupLine("D314", "3410", "0000", d));
    EXPECT_FALSE(m.form.fields().isLit(Field::lblshowTMC)) << d;
  }
  m.receive(groupLine("D314", "2410", "0000", "CD46"));  // not a 3A group
  EXPECT_FALSE(m.form.fields().isLit(Field::lblshowTMC));
  m.receive(groupLine("D314", "3410", "0000", "CD46"));
  m.receive(groupLine("D314", "3410", "0000", "4BD7"));
  EXPECT_TRUE(m.form.fields().isLit(Field::lblshowTMC));
  EXPECT_EQ(m.field(Field::lblshowTMC).background, colour::kGreen);
}

TEST(ClockTimeTest, ShowsUtcLocalTimeOffsetAndDate) {
  struct Case {
    std::string blockB, blockC, blockD;
    std::string local, offset, utc, date;
  };
  const std::vector<Case> cases = {
      {"4401", "0001", "3000", "19:00", "0", "19:00", "1948-08-05"},
      {"4400", "0000", "3544", "05:21", "2", "03:21", "1858-11-17"},
      {"4400", "0000", "3562", "02:21", "-1", "03:21", "1858-11-17"},
      {"4400", "0000", "0000", "00:00", "0", "00:00", "1858-11-17"},
      {"4400", "0000", "0020", "00:00", "0", "00:00", "1858-11-17"},  // minus zero
      // BR-KLASSIK's evening: UTC+2 crosses local midnight.
      {"4401", "C3EF", "6344", "00:13", "2", "22:13", "2017-04-04"},
      {"4401", "C3EE", "3546", "06:21", "3", "03:21", "2017-04-04"},
      {"4401", "C3EE", "3541", "03:51", "0.5", "03:21", "2017-04-04"},
      {"4401", "C3F0", "0021", "23:30", "-0.5", "00:00", "2017-04-05"},
      // Coded hours past 23 and minutes past 59, as noisy stations send them.
      {"4401", "C3F1", "C02A", "23:00", "-5", "28:00", "2017-04-05"},
      {"4401", "CD95", "CD44", "28:53", "2", "28:53", "2020-08-21"},
      {"4401", "C3EE", "3FC1", "03:63", "0.5", "03:63", "2017-04-04"},
  };
  for (const Case& c : cases) {
    DisplayModel w;
    GroupValues v;
    decodeClockTime(cutGroupLine(groupLine("D314", c.blockB, c.blockC, c.blockD)), v, w);
    EXPECT_EQ(w[Field::lblClockTime].text, c.local) << c.blockC << c.blockD;
    EXPECT_EQ(w[Field::lblCToffset].text, c.offset) << c.blockC << c.blockD;
    EXPECT_EQ(w[Field::lblUTCtime].text, c.utc) << c.blockC << c.blockD;
    EXPECT_EQ(w[Field::lblUTCdate].text, c.date) << c.blockC << c.blockD;
    EXPECT_TRUE(w.isLit(Field::lblshowCT));
  }
  DisplayModel w;
  GroupValues v;
  decodeClockTime(cutGroupLine(groupLine("D314", "4C01", "0001", "3000")), v, w);  // 4B
  EXPECT_EQ(w[Field::lblUTCtime].text, "--:--");
  EXPECT_EQ(w[Field::lblshowCT].background, colour::kBlack);
}

}  // namespace
}  // namespace tallowmere::test
