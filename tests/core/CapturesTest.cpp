// Six real broadcasts through the decoder: what each station is known to send.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using CapturesTest = InWorkingFolder;

struct Station {
  const char* capture;
  std::string ps, pi, pty;
  int announcementsStarted;  // banner changes to TRAFFIC ANNOUNCEMENT
  bool tmc;
};

TEST_F(CapturesTest, RealStationsShowTheirNameTypeAndAnnouncements) {
  const std::vector<Station> stations = {
      {"de-br-klassik-D314", "BR-KLASS", "D314", "14 - Serious Classical", 0, true},
      {"de-104.6rtl-D42A", "104.6RTL", "D42A", "10 - Pop Music", 1, true},
      {"de-mdr-thueringen-D6F1", "MDR THUE", "D6F1", "0 - No programme type defined", 1, true},
      {"uk-bbc-radio4-C204", "BBC R4  ", "C204", "9 - Varied", 0, false},
      {"ee-viker-22E1", "VIKER   ", "22E1", "18 - Children's Programmes", 0, true},
      // EON's TA 1 throughout, and bit errors that flip TP on for single groups: without
      // confirmation each of those shows as a short announcement.
      {"se-sr-p2-EC02", "SR P2   ", "EC02", "14 - Serious Classical", 3, true},
  };
  for (const Station& s : stations) {
    std::ifstream in(std::string(CAPTURES_DIR) + "/" + s.capture + ".groups", std::ios::binary);
    if (!in) GTEST_SKIP() << "the real captures are not on this machine";
    Monitor m;
    m.loadAndTune();
    int started = 0;
    std::string line;
    while (std::getline(in, line)) {
      const bool wasOn = m.text(Field::lblTraffic) == "TRAFFIC ANNOUNCEMENT";
      m.receive(line + "\n");
      if (!wasOn && m.text(Field::lblTraffic) == "TRAFFIC ANNOUNCEMENT") ++started;
    }
    EXPECT_EQ(m.text(Field::lblPS), s.ps) << s.capture;
    EXPECT_EQ(m.text(Field::lblPI), s.pi) << s.capture;
    EXPECT_EQ(m.text(Field::lblPTY), s.pty) << s.capture;
    EXPECT_EQ(started, s.announcementsStarted) << s.capture;
    EXPECT_EQ(m.text(Field::lblTraffic), "NORMAL BROADCAST") << s.capture;
    EXPECT_EQ(readFile("traffic.txt"), " 0 \r\n") << s.capture;
    EXPECT_EQ(m.form.fields().isLit(Field::lblshowTMC), s.tmc) << s.capture;
    EXPECT_TRUE(m.form.fields().isLit(Field::lblshowRT)) << s.capture;
    EXPECT_TRUE(m.form.fields().isLit(Field::lblshowCT)) << s.capture;
  }
}

}  // namespace
}  // namespace tallowmere::test
