// The receive gate, chunk classification, status lines and the repeated-line rule.
#include <gtest/gtest.h>

#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using ReceiveHandlerTest = InWorkingFolder;

TEST_F(ReceiveHandlerTest, DropsEverythingUntilTheFirstTune) {
  Monitor m;
  m.load();
  m.receive(" RDS STEREO RSSI: 42\r\n");
  m.receive(groupLine("C201", "0548", "E0CD", "4142"));
  EXPECT_EQ(m.text(Field::lblRSSI), "RSSI: --");
  EXPECT_EQ(m.text(Field::lblHEX), "WAITING");
  EXPECT_EQ(m.text(Field::lblPS), "INITIALISING");
  EXPECT_EQ(m.form.lastChunk(), "");
}

TEST_F(ReceiveHandlerTest, StatusLinesShowStereoAndLevelWithTheLastTokenWinning) {
  struct Case {
    std::string chunk;
    Rgb stereoFg;  // lblStereo after the chunk, starting from its created white on black
    Rgb stereoBg;
    std::string rssi;
  };
  const Rgb w = colour::kWhite, g = colour::kGreen, k = colour::kBlack, d = colour::kDarkGrey;
  const std::vector<Case> cases = {
      {" RDS STEREO RSSI: 42", w, g, "RSSI: 42 dBuV"},
      {" --- MONO RSSI: 07\r\n", d, k, "RSSI: 07 dBuV"},
      {" --- RSSI=  5", w, k, "RSSI:  5 dBuV"},
      {" RDS MONO xx STEREO", w, g, "RSSI: --"},
      {" RDS STEREO xx MONO", d, k, "RSSI: --"},
      {" RDS RSSI: 30 RSSI: 31", w, k, "RSSI: 31 dBuV"},
      {" RDS STEREO RSSI: 4", w, g, "RSSI: 4  dBuV"},  // cut past the end gives blanks
      {" RDS STEREO RSSI", w, g, "RSSI:    dBuV"},
      {" RDS ", w, k, "RSSI: --"},
      {"RDS STEREO RSSI: 42", w, k, "RSSI: --"},  // no leading space: not a status line
      {" rds STEREO RSSI: 42", w, k, "RSSI: --"},
      {"\n RDS STEREO RSSI: 42", w, k, "RSSI: --"},
      {" RDS STEREO RSSI: 42\r\n>>> C201:0548:E0CD:4142<\r\n", w, g, "RSSI: 42 dBuV"},
  };
  for (const Case& c : cases) {
    Monitor m;
    m.loadAndTune();
    m.receive(c.chunk);
    EXPECT_EQ(m.field(Field::lblStereo).foreground, c.stereoFg) << c.chunk;
    EXPECT_EQ(m.field(Field::lblStereo).background, c.stereoBg) << c.chunk;
    EXPECT_EQ(m.text(Field::lblStereo), "STEREO") << c.chunk;
    EXPECT_EQ(m.text(Field::lblRSSI), c.rssi) << c.chunk;
    EXPECT_EQ(m.text(Field::lblHEX), "") << c.chunk;  // a group behind a status line is not decoded
    EXPECT_EQ(m.form.lastChunk(), c.chunk);
  }
}

TEST_F(ReceiveHandlerTest, RepeatedLinesAreDecodedAgainUnlessTheyGaveNoBytes) {
  Monitor m;
  m.loadAndTune();
  const std::string good = groupLine("C201", "2400", "4142", "4344");
  m.receive(good);
  m.receive(good);
  EXPECT_EQ(m.text(Field::lblRDScount), "2");
  EXPECT_EQ(m.form.lastChunk(), std::string("\xFF\xC2\x01\x24\x00\x41\x42\x43\x44", 9));

  // A block with a character that is not hexadecimal: remembered as received, so the same
  // line right after it is skipped, and decoded again after any other chunk.
  const std::string odd = groupLine("C201", "2400", "41-2", "4344");
  m.receive(odd);
  EXPECT_EQ(m.text(Field::lblRDScount), "3");
  EXPECT_EQ(m.text(Field::lblHEX), "C201240041-24344");
  EXPECT_EQ(m.form.lastChunk(), odd);
  m.receive(odd);
  EXPECT_EQ(m.text(Field::lblRDScount), "3");
  m.receive("\r\n");
  EXPECT_EQ(m.form.lastChunk(), "\r\n");
  m.receive(odd);
  EXPECT_EQ(m.text(Field::lblRDScount), "4");
  m.receive("");
  EXPECT_EQ(m.form.lastChunk(), "");
}

}  // namespace
}  // namespace tallowmere::test
