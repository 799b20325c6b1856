// Cutting group lines into the group record, and the two bit conversions.
#include <gtest/gtest.h>

#include "rds/Conversions.h"
#include "rds/GroupRecord.h"

namespace tallowmere {
namespace {

TEST(GroupRecordTest, CutsLinesAsTheReceiverSendsThemAndAsNoiseLeavesThem) {
  struct Case {
    std::string line;
    std::string hex;  // groupHex without its "FF"
    std::string type;
    bool bytes;
  };
  const std::vector<Case> cases = {
      {">>> C201:0548:E0CD:4142<\r\n", "C2010548E0CD4142", "0A", true},
      {">>> C201:548:E0CD:4142<", "C2010548E0CD4142", "0A", true},
      {">>> 0000:E000:0000:0000<", "0000E00000000000", "14A", true},
      {">>> 0000:E800:0000:0000<", "0000E80000000000", "14B", true},
      {">>> 0000:F800:0000:0000<", "0000F80000000000", "15B", true},
      {">>> 0000:6600:0000:0000<", "0000660000000000", "6A", true},
      {">>> 0000:2a00:0000:0000<", "00002a0000000000", "2?", true},
      {">>> 12345:6789:ABCD:EF01<", "23456789ABCDEF01", "6A", true},
      {">>> 1234 : 5678 : 9ABC : DEF0 <", "123456789ABCDEF0", "5A", true},
      {">>> 1234:5678:9ABC:DEF0<junk:more", "123456789ABCDEF0", "5A", true},
      {">>> ", "0000000000000000", "0A", true},
      {">>> 1234:5678:9ABC:DEF0", "123456789ABCDEF0", "5A", true},        // no end mark
      {">>> 1234:5678:9ABC:DEF0 12:34", "123456789ABCF012", "5A", true},  // D runs on to ":"
      {">>> 1234:5<78:9ABC:DEF0<", "12345<789ABCDEF0", "5?", false},     // "<" before D
      {">>> 1234:2400:41-2:4344<", "1234240041-24344", "2A", false},
      {std::string(">>> 12\0" "34:2\t400:4\x01" "42:4344<", 26), "1234240004424344", "2A", true},
      {">>> 1234:2400:4\xE9" "42:4344<", "123424004\xE9" "424344", "2A", false},
      {">>> G234:Z400:0000:0000<", "G234Z40000000000", "0A", false},
  };
  for (const Case& c : cases) {
    const GroupRecord g = cutGroupLine(c.line);
    EXPECT_EQ(g.hex(), "FF" + c.hex) << c.line;
    EXPECT_EQ(g.groupType(), c.type) << c.line;
    EXPECT_EQ(g.bytesBuilt, c.bytes) << c.line;
  }
  const GroupRecord g = cutGroupLine(">>> C201:0548:E0CD:4142<");
  EXPECT_EQ(g.bytes(), std::string("\xFF\xC2\x01\x05\x48\xE0\xCD\x41\x42", 9));
  EXPECT_EQ(cutGroupLine(">>> ").bytes(), std::string("\xFF\0\0\0\0\0\0\0\0", 9));
  EXPECT_EQ(cutGroupLine(">>> c2a1:0548:e0cd:4142<").bytes()[2], '\xA1');  // either case converts
}

TEST(GroupRecordTest, CutsAHugeLineWithoutReadingPastItsEnd) {
  std::string line = ">>> " + std::string(100000, '7') + ":1:2:3<";
  const GroupRecord g = cutGroupLine(line);
  EXPECT_EQ(g.hex(), "FF7777000100020003");
  line = ">>> 1:2:3:" + std::string(100000, 'A');
  EXPECT_EQ(cutGroupLine(line).blockD(), "AAAA");
}

TEST(ConversionsTest, BitsOfDigitsAndNumbersOfBits) {
  NibbleBits bits;
  bits.HexDigitToBits('G');
  EXPECT_EQ(bits.nibbleBits(), "");  // nothing converted yet in this event
  bits.HexDigitToBits('5');
  EXPECT_EQ(bits.nibbleBits(), "0101");
  bits.HexDigitToBits('G');
  EXPECT_EQ(bits.nibbleBits(), "0101");  // an unknown digit keeps the previous bits
  bits.HexDigitToBits('a');
  EXPECT_EQ(bits.nibbleBits(), "0101");
  bits.HexDigitToBits('E');
  EXPECT_EQ(bits.nibbleBits(), "1110");

  EXPECT_EQ(BinToDec("1101"), 13);
  EXPECT_EQ(BinToDec(""), 0);
  EXPECT_EQ(BinToDec("10x1"), 9);
  EXPECT_EQ(BinToDec(std::string(32, '1')), -1);
  EXPECT_EQ(BinToDec("1" + std::string(31, '0')), INT32_MIN);
  EXPECT_EQ(BinToDec("1" + std::string(40, '0')), INT32_MIN);
}

}  // namespace
}  // namespace tallowmere
