// PS, PTY, TP, TA, MS, DI and the TA and EON indicators from 0A/0B groups.
#include <gtest/gtest.h>

#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using BasicTuningTest = InWorkingFolder;

TEST_F(BasicTuningTest, DecodesTheFlagsAndProgrammeTypeOfBlockB) {
  struct Case {
    std::string blockB;
    std::string tp, pty, ms;
    Field diField;
    std::string di;
  };
  const std::vector<Case> cases = {
      {"0548", "1", "10 - Pop Music", "1", Field::lblDIdynPTY, "0"},
      {"0408", "1", "0 - No programme type defined", "1", Field::lblDIdynPTY, "0"},
      {"07EF", "1", "31 - ALARM!", "1", Field::lblDIstereo, "1"},
      {"01CD", "0", "14 - Serious Classical", "1", Field::lblDIcomp, "1"},
      {"0A42", "0", "18 - Children's Programmes", "0", Field::lblDIhead, "0"},
      {"0926", "0", "9 - Varied", "0", Field::lblDIhead, "1"},  // 0B decodes like 0A
  };
  for (const Case& c : cases) {
    Monitor m;
    m.loadAndTune();
    m.receive(groupLine("C204", c.blockB, "E0CD", "4142"));
    EXPECT_EQ(m.text(Field::lblTP), c.tp) << c.blockB;
    EXPECT_EQ(m.text(Field::lblPTY), c.pty) << c.blockB;
    EXPECT_EQ(m.text(Field::lblMS), c.ms) << c.blockB;
    EXPECT_EQ(m.text(c.diField), c.di) << c.blockB;
    for (Field f : {Field::lblDIdynPTY, Field::lblDIcomp, Field::lblDIhead, Field::lblDIstereo}) {
      if (f != c.diField) {
        EXPECT_EQ(m.text(f), "?") << c.blockB << " " << nameOf(f);
      }
    }
  }
}

TEST_F(BasicTuningTest, AssemblesPsTwoCharactersAtATimeWithoutConfirmation) {
  Monitor m;
  m.loadAndTune();
  m.receive(groupLine("C204", "2400", "4142", "4344"));  // another type first
  EXPECT_EQ(m.text(Field::lblPS), "________");
  EXPECT_EQ(m.text(Field::lblTP), "?");
  EXPECT_EQ(m.text(Field::lblPTY), "NONE");
  const std::vector<std::pair<std::string, std::string>> steps = {
      {groupLine("C204", "0543", "E0CD", "3420"), "______4 "},
      {groupLine("C204", "0542", "E0CD", "2052"), "____ R4 "},
      {groupLine("C204", "0541", "E0CD", "4243"), "__BC R4 "},
      {groupLine("C204", "0540", "E0CD", "4242"), "BBBC R4 "},
      {groupLine("C204", "0541", "E0CD", "4320"), "BBC  R4 "},  // a segment overwritten
      {groupLine("C204", "0541", "E0CD", "26B1"), "BB&\xB1 R4 "},
      {groupLine("C204", "0540", "E0CD", "4-42"), "BB&\xB1 R4 "},  // no bytes: PS kept
      {groupLine("C204", "0540", "E0CD", "4"), std::string("\0\x04&\xB1 R4 ", 8)},
  };
  for (const auto& [line, ps] : steps) {
    m.receive(line);
    EXPECT_EQ(m.text(Field::lblPS), ps) << line;
    EXPECT_EQ(m.form.decoderState().psBuffer.size(), 8u);
  }
}

TEST_F(BasicTuningTest, TaCarriesOverInItsIndicatorAndTaWithoutTpLightsEon) {
  struct Step {
    std::string blockB;
    bool taLit, eonLit;
  };
  // TP 0 / TA 1 is EON; switching TP and TA on together shows EON for that one group,
  // since the TP indicator still shows the previous group.
  const std::vector<Step> steps = {
      {"0010", true, true},    // 0A TP 0 TA 1
      {"2000", true, true},    // 2A carries the TA state over
      {"0000", false, false},  // 0A TA 0
      {"0410", true, true},    // 0A TP 1 TA 1: TP indicator still dark
      {"0410", true, false},
      {"2400", true, false},
      {"0400", false, false},
  };
  Monitor m;
  m.loadAndTune();
  for (const Step& s : steps) {
    m.receive(groupLine("D314", s.blockB, "0000", "0000"));
    EXPECT_EQ(m.form.fields().isLit(Field::lblShowTA), s.taLit) << s.blockB;
    EXPECT_EQ(m.field(Field::lblShowTA).background, colour::kBlack) << s.blockB;
    EXPECT_EQ(m.form.fields().isLit(Field::lblShowEON), s.eonLit) << s.blockB;
  }
}

}  // namespace
}  // namespace tallowmere::test
