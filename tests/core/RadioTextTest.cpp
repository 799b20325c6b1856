// RadioText: A/B buffers, the count, publishing after 30 groups, the ceiling.
#include <gtest/gtest.h>

#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using RadioTextTest = InWorkingFolder;

// A 2A group carrying four characters of a text at a segment, with the A/B flag.
std::string rtGroup(char flag, int segment, std::string_view four) {
  auto hex = [](unsigned char c) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string{kDigits[c >> 4], kDigits[c & 15]};
  };
  const std::string b = std::string("24") + (flag == '1' ? "1" : "0") + "0123456789ABCDEF"[segment];
  return groupLine("D6F1", b, hex(four[0]) + hex(four[1]), hex(four[2]) + hex(four[3]));
}

std::string padded(std::string text) {
  text.resize(64, '_');
  return text;
}

TEST_F(RadioTextTest, FillsBuffersAndPublishesAfterThirtyGroupsWithOneFlag) {
  Monitor m;
  m.loadAndTune();
  m.receive(rtGroup('0', 0, "ABCD"));
  EXPECT_EQ(m.text(Field::lblRTA), padded("ABCD"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1");
  EXPECT_EQ(m.field(Field::lblcapA).background, colour::kGreen);
  EXPECT_EQ(m.field(Field::lblCapB).background, colour::kBlack);
  EXPECT_EQ(m.text(Field::lblRadioText), "");
  EXPECT_TRUE(m.form.fields().isLit(Field::lblshowRT));

  m.receive(rtGroup('0', 15, "wxyz"));
  EXPECT_EQ(m.text(Field::lblRTA), padded("ABCD").substr(0, 60) + "wxyz");
  for (int i = 3; i <= 29; ++i) m.receive(rtGroup('0', 1, "EF&\r"));
  EXPECT_EQ(m.text(Field::lblRadioText), "");  // 29 groups: not yet
  m.receive(rtGroup('0', 2, "GHIJ"));
  const std::string published = "ABCDEF&\rGHIJ" + std::string(48, '_') + "wxyz";
  EXPECT_EQ(m.text(Field::lblRadioText), published);

  // A new flag clears only its own buffer and restarts the count; the published text
  // stays until 30 groups with the new flag have come.
  m.receive(rtGroup('1', 0, "Neue"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1");
  EXPECT_EQ(m.text(Field::lblRTB), padded("Neue"));
  EXPECT_EQ(m.text(Field::lblRTA), published);
  EXPECT_EQ(m.text(Field::lblRadioText), published);
  EXPECT_EQ(m.field(Field::lblCapB).background, colour::kGreen);

  // Segment digits that are not upper-case hexadecimal, and blocks that are not
  // hexadecimal, still count but write nothing.
  m.receive(groupLine("D6F1", "241a", "4142", "4344"));
  m.receive(groupLine("D6F1", "2411", "4?42", "4344"));
  EXPECT_EQ(m.text(Field::lblRDScount), "3");
  EXPECT_EQ(m.text(Field::lblRTB), padded("Neue"));
  // 2B groups change nothing.
  m.receive(groupLine("D6F1", "2C11", "4142", "4344"));
  EXPECT_EQ(m.text(Field::lblRDScount), "3");
  EXPECT_EQ(m.text(Field::lblRTB), padded("Neue"));
}

TEST_F(RadioTextTest, CountStopsAtOneThousand) {
  Monitor m;
  m.loadAndTune();
  for (int i = 0; i < 1001; ++i) m.receive(rtGroup('1', i % 16, "abcd"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1000");
  m.receive(rtGroup('1', 0, "abcd"));
  EXPECT_EQ(m.text(Field::lblRDScount), "1000");
  std::string text;
  for (int k = 0; k < 16; ++k) text += "abcd";
  EXPECT_EQ(m.text(Field::lblRadioText), text);
}

}  // namespace
}  // namespace tallowmere::test
