// metadata.txt and traffic.txt as the programs that poll them see them.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using OutputFilesTest = InWorkingFolder;

// Publishes a RadioText: 30 rounds of its 16 segments with flag 0.
void publish(Monitor& m, const std::string& text64) {
  constexpr char kHex[] = "0123456789ABCDEF";
  auto hex = [&](unsigned char c) { return std::string{kHex[c >> 4], kHex[c & 15]}; };
  for (int round = 0; round < 2; ++round) {
    for (int s = 0; s < 16; ++s) {
      const std::string_view four = std::string_view(text64).substr(4 * s, 4);
      m.receive(groupLine("D6F1", std::string("240") + kHex[s], hex(four[0]) + hex(four[1]),
                          hex(four[2]) + hex(four[3])));
    }
  }
}

TEST_F(OutputFilesTest, MetadataFollowsTheRadioTextOnEveryTickFromTwentyFiveSeconds) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  Monitor m;
  m.load();
  m.clock.advanceTo(24999);
  EXPECT_EQ(readFile("metadata.txt"), "\r\n");
  m.clock.advanceTo(25000);
  EXPECT_EQ(readFile("metadata.txt"), "NO RADIOTEXT\r\n");

  m.receive(groupLine("D6F1", "0408", "E0CD", "4D44"));
  m.clock.advanceTo(45000);
  EXPECT_EQ(readFile("metadata.txt"), "\r\n");  // a group came, no text published yet

  struct Case {
    std::string text;  // 64 characters as the station sends them
    std::string file;  // what the next tick leaves in metadata.txt
  };
  const std::vector<Case> cases = {
      {"MDR THUERINGEN - Das Radio" + std::string(38, ' '),
       "MDR THUERINGEN - Das Radio" + std::string(38, ' ') + "\r\n"},  // 66 bytes
      {"Love potion No. 9 - Searchers\r" + std::string(34, '_'), "Love potion No. 9 - Searchers\r\n"},
      {"H\x97rerservice: 0800-218 16 16\r" + std::string(35, '_'), "H\x97rerservice: 0800-218 16 16\r\n"},
      {"Tab\there\x01 and CR\r in the middle of a complete text" + std::string(14, ' '),
       "Tab\there\x01 and CR\r in the middle of a complete text" + std::string(14, ' ') + "\r\n"},
      {"A_B" + std::string(61, ' '), "unchanged"},                       // its own "_"
      {"Half a te" + std::string(50, '_') + "xt\r  ", "unchanged"},       // "_" before the CR
  };
  long now = 45000;
  for (const Case& c : cases) {
    ASSERT_EQ(c.text.size(), 64u) << c.text;
    const std::string before = readFile("metadata.txt");
    m.form.fields().setText(Field::txtFreq, "88.8");
    m.form.cmdSetFreq_Click();
    publish(m, c.text);
    now += 20000;
    m.clock.advanceTo(now);
    EXPECT_EQ(readFile("metadata.txt"), c.file == "unchanged" ? before : c.file) << c.text;
  }
  // The file is rewritten on every tick, also when nothing changed.
  publish(m, std::string(64, ' '));
  m.clock.advanceTo(now += 20000);
  std::filesystem::remove("metadata.txt");
  m.clock.advanceTo(now + 20000);
  EXPECT_TRUE(std::filesystem::exists("metadata.txt"));
}

TEST_F(OutputFilesTest, RetuneKeepsTheOldTextUntilTheNewStationsFirstGroup) {
  Monitor m;
  m.loadAndTune();
  publish(m, "BBC Radio 4" + std::string(53, ' '));
  m.form.tmrWriteMetadata_Timer();
  const std::string old = "BBC Radio 4" + std::string(53, ' ') + "\r\n";
  EXPECT_EQ(readFile("metadata.txt"), old);
  m.form.fields().setText(Field::txtFreq, "104.5");
  m.form.cmdSetFreq_Click();
  m.form.tmrWriteMetadata_Timer();
  EXPECT_EQ(readFile("metadata.txt"), old);
  m.receive(groupLine("C204", "0408", "E0CD", "4242"));
  m.form.tmrWriteMetadata_Timer();
  EXPECT_EQ(readFile("metadata.txt"), "\r\n");
}

TEST_F(OutputFilesTest, UnwritableFolderLosesNothingOnceItIsWritableAgain) {
  // The monitor writes into a folder that is missing at first.
  RecordingPort port;
  FakeClock clock;
  AtomicFileWriter files("out");
  FrmMain form(port, clock, files);
  testing::internal::CaptureStderr();
  form.Form_Load();
  form.tmrSetFreqAtStart_Timer();
  form.MSComm1_OnComm(groupLine("D42A", "0410", "E0CD", "3130"));
  form.MSComm1_OnComm(groupLine("D42A", "0410", "E0CD", "3130"));  // announcement on
  form.tmrWriteMetadata_Timer();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot write " + (folder / "out/traffic.txt").string()), std::string::npos) << err;
  EXPECT_NE(err.find("cannot write " + (folder / "out/metadata.txt").string()), std::string::npos) << err;
  EXPECT_EQ(form.fields()[Field::lblTraffic].text, "TRAFFIC ANNOUNCEMENT");
  EXPECT_EQ(form.decoderState().lastTrafficState, 1);

  std::filesystem::create_directory("out");
  testing::internal::CaptureStderr();
  form.MSComm1_OnComm(groupLine("D42A", "2410", "0000", "0000"));  // same state: still written
  form.tmrWriteMetadata_Timer();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("works again"), std::string::npos);
  EXPECT_EQ(readFile("out/traffic.txt"), " 1 \r\n");
  EXPECT_EQ(readFile("out/metadata.txt"), "\r\n");
}

TEST_F(OutputFilesTest, CrEndedTextsOfRealStationsReachTheFile) {
  const std::vector<std::pair<std::string, std::string>> stations = {
      {"de-mdr-thueringen-D6F1", "Love potion No. 9 - Searchers\r\n"},
      {"ee-viker-22E1", "Laste lood*\r\n"},
      {"se-sr-p2-EC02", "P2 Klassiskt\r\n"},
  };
  for (const auto& [capture, file] : stations) {
    std::ifstream in(std::string(CAPTURES_DIR) + "/" + capture + ".groups", std::ios::binary);
    if (!in) GTEST_SKIP() << "the real captures are not on this machine";
    Monitor m;
    m.loadAndTune();
    for (std::string line; std::getline(in, line);) m.receive(line + "\n");
    m.form.tmrWriteMetadata_Timer();
    EXPECT_EQ(readFile("metadata.txt"), file) << capture;
  }
}

}  // namespace
}  // namespace tallowmere::test
