// The receive handler: the gate, status lines, cutting group lines into the group record,
// and the rule for a line repeated.
#include <gtest/gtest.h>

#include "rds/Conversions.h"
#include "rds/GroupRecord.h"
#include "tests/support/Harness.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using ReceiveTest = InWorkingFolder;

TEST_F(ReceiveTest, StatusLinesShowStereoAndLevelWithTheLastTokenWinning) {
  const Rgb w = colour::kWhite, g = colour::kGreen, k = colour::kBlack, d = colour::kDarkGrey;
  // lblStereo's colours after the chunk, starting from its created white on black
  // clang-format off
  struct Case { std::string chunk; Rgb stereoFg, stereoBg; std::string rssi; };
  const std::vector<Case> cases = {
      {" RDS STEREO RSSI: 42", w, g, "RSSI: 42 dBuV"},
      {" --- MONO RSSI: 07\r\n", d, k, "RSSI: 07 dBuV"},
      {" --- RSSI=  5", w, k, "RSSI:  5 dBuV"},
      {" RDS MONO xx STEREO", w, g, "RSSI: --"},
      {" RDS STEREO xx MONO", d, k, "RSSI: --"},
      {" RDS RSSI: 30 RSSI: 31", w, k, "RSSI: 31 dBuV"},
      {" RDS STEREO RSSI: 4", w, g, "RSSI: 4  dBuV"},  // cut past the end gives blanks
      {" RDS STEREO RSSI", w, g, "RSSI:    dBuV"},
      {std::string(" RDS RSSI: \0" "4", 13), w, k, std::string("RSSI: \0" "4 dBuV", 13)},
      {" RDS ", w, k, "RSSI: --"},
      {"RDS STEREO RSSI: 42", w, k, "RSSI: --"},  // no leading space: not a status line
      {" rds STEREO RSSI: 42", w, k, "RSSI: --"},
      {"\n RDS STEREO RSSI: 42", w, k, "RSSI: --"},
      {" RDS STEREO RSSI: 42\r\n>>> C201:0548:E0CD:4142<\r\n", w, g, "RSSI: 42 dBuV"},
  };
  // clang-format on
  for (const Case& c : cases) {
    Harness m;
    m.loadAndTune();
    m.receive(c.chunk);
    EXPECT_EQ(m.field(Field::lblStereo).foreground, c.stereoFg) << c.chunk;
    EXPECT_EQ(m.field(Field::lblStereo).background, c.stereoBg) << c.chunk;
    EXPECT_EQ(m.text(Field::lblRSSI), c.rssi) << c.chunk;
    EXPECT_EQ(m.text(Field::lblHEX), "") << c.chunk;  // a group behind a status line is not decoded
  }
}

TEST(GroupRecordTest, CutsLinesAsTheReceiverSendsThemAndAsNoiseLeavesThem) {
  struct Case {
    std::string line;
    std::string hex;  // groupHex without its "FF"
    std::string type;
    std::optional<int> presence;
    bool bytes;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {">>> C201:0548:E0CD:4142<\r\n", "C2010548E0CD4142", "0A", 0, true},
      {">>> 0000:E000:0000:0000<", "0000E00000000000", "14A", 14, true},
      {">>> 0000:0800:0000:0000<", "0000080000000000", "0B", 16, true},
      {">>> 0000:E800:0000:0000<", "0000E80000000000", "14B", 30, true},
      {">>> 0000:F800:0000:0000<", "0000F80000000000", "15B", 31, true},
      {">>> 0000:2a00:0000:0000<", "00002a0000000000", "2?", std::nullopt, true},
      {">>> 12345:6789:ABCD:EF01<", "23456789ABCDEF01", "6A", 6, true},
      {">>> 1234 : 5678 : 9ABC : DEF0 <", "123456789ABCDEF0", "5A", 5, true},
      {">>> 1234:5678:9ABC:DEF0<junk:more", "123456789ABCDEF0", "5A", 5, true},
      {">>> ", "0000000000000000", "0A", 0, true},
      {">>> 1234:5678:9ABC:DEF0", "123456789ABCDEF0", "5A", 5, true},        // no end mark
      {">>> 1234:5678:9ABC:DEF0 12:34", "123456789ABCF012", "5A", 5, true},  // D runs on to ":"
      {">>> 2000:123 :0000:456 <", "2000012300000456", "0A", 0, true},
      {">>> 2000:0000:0000:12345<", "2000000000002345", "0A", 0, true},
      {">>> 1234:5<78:9ABC:DEF0<", "12345<789ABCDEF0", "5?", std::nullopt, false},  // "<" before D
      {">>> 1234:2400:41-2:4344<", "1234240041-24344", "2A", 2, false},
      {std::string(">>> 12\0" "34:2\t400:4\x01" "42:4344<", 26), "1234240004424344", "2A", 2, true},
      {">>> 1234:2400:4\xE9" "42:4344<", "123424004\xE9" "424344", "2A", 2, false},
      {">>> 1234:2400:G142:4g44<", "12342400G1424g44", "2A", 2, false},
      {">>> " + std::string(100000, '7') + ":1:2:3<", "7777000100020003", "0A", 0, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    const GroupRecord g = cutGroupLine(c.line);
    EXPECT_EQ(g.hex(), "FF" + c.hex) << c.line.substr(0, 40);
    EXPECT_EQ(g.groupType(), c.type) << c.line.substr(0, 40);
    EXPECT_EQ(g.presenceIndex(), c.presence) << c.line.substr(0, 40);
    EXPECT_EQ(g.bytesBuilt, c.bytes) << c.line.substr(0, 40);
  }
  EXPECT_EQ(cutGroupLine(">>> C201:0548:E0CD:4142<").bytes(),
            std::string("\xFF\xC2\x01\x05\x48\xE0\xCD\x41\x42", 9));
  EXPECT_EQ(cutGroupLine(">>> c2a1:0548:e0cd:4142<").bytes()[2], '\xA1');  // either case converts
  EXPECT_EQ(cutGroupLine(">>> 1:2:3:" + std::string(100000, 'A')).blockD(), "AAAA");
}

TEST(GroupRecordTest, BitsOfDigitsAndNumbersOfBits) {
  NibbleBits bits;
  const std::vector<std::pair<char, std::string>> digits = {
      {'G', ""}, {'5', "0101"}, {'G', "0101"}, {'a', "0101"}, {'E', "1110"}, {'0', "0000"}, {'F', "1111"}};
  for (const auto& [digit, expected] : digits) {
    bits.HexDigitToBits(digit);
    EXPECT_EQ(bits.nibbleBits(), expected) << digit;  // an unknown digit keeps the previous bits
  }
  const std::vector<std::pair<std::string, std::int32_t>> numbers = {{"1101", 13},
                                                                     {"", 0},
                                                                     {"10x1", 9},
                                                                     {std::string(31, '1'), INT32_MAX},
                                                                     {std::string(32, '1'), -1},
                                                                     {"1" + std::string(40, '0'), INT32_MIN}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(BinToDec(text), number) << text;
}

TEST_F(ReceiveTest, RepeatedLinesAreDecodedAgainUnlessTheyGaveNoBytes) {
  Harness m;
  m.loadAndTune();
  const std::string good = TestStation{}.rtLine(false, 0, "ABCD");
  m.receive(good);
  m.receive(good);
  EXPECT_EQ(m.text(Field::lblRDScount), "2");
  // A block with a character that is not hexadecimal: remembered as received, so the same
  // line right after it is skipped, and decoded again after any other chunk.
  const std::string odd = hexLine("C201", "2400", "41-2", "4344");
  for (const std::string& chunk : {odd, odd, std::string("\r\n"), odd, std::string(), odd}) m.receive(chunk);
  EXPECT_EQ(m.text(Field::lblRDScount), "5");
  EXPECT_EQ(m.text(Field::lblHEX), "C201240041-24344");
}

}  // namespace
}  // namespace tallowmere::test
