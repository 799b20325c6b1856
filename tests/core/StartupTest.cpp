// Start-up: the state of every field, the output files, the INI variants and the
// COMport rule.
#include <gtest/gtest.h>

#include "settings/ComPort.h"
#include "settings/IniFile.h"
#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using StartupTest = InWorkingFolder;

TEST_F(StartupTest, PutsEveryFieldIntoItsStartUpStateAndWritesBothFiles) {
  writeIni("[Tallowmere]\r\nCOMport=1\r\nFrequency=88.8\r\n");
  writeFile("traffic.txt", " 1 \r\n");
  writeFile("metadata.txt", "an old RadioText\r\n");
  Monitor m;
  m.load();

  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");
  EXPECT_EQ(readFile("metadata.txt"), "\r\n");
  EXPECT_EQ(m.port.opened, std::vector<std::string>{"/dev/ttyS0"});
  EXPECT_TRUE(m.port.sent.empty());

  struct Expected {
    Field field;
    std::string text;
  };
  for (const Expected& e : std::vector<Expected>{
           {Field::lblPS, "INITIALISING"}, {Field::lblPI, ""}, {Field::txtFreq, "88.8"},
           {Field::txtVol, "8"}, {Field::lblHEX, "WAITING"},
           {Field::lblTraffic, "WAITING FOR TRAFFIC FLAG STATUS"},
           {Field::lblCopyright, "Tallowmere FM/RDS receiver monitor v2.03"},
           {Field::lblRadioText, "NO RADIOTEXT"}, {Field::lblPTY, "NONE"}, {Field::lblTP, "?"},
           {Field::lblRSSI, "RSSI: --"}, {Field::lblClockTime, "--:--"},
           {Field::lblUTCdate, "----------"}, {Field::lblGroup, "00"}, {Field::lblRDScount, "0"}}) {
    EXPECT_EQ(m.text(e.field), e.text) << nameOf(e.field);
  }

  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    const FieldDefinition& definition = definitionOf(f);
    const FieldState& s = m.field(f);
    EXPECT_EQ(s.visible, definition.row < 17) << definition.name;
    const bool indicator = definition.row == 3 || definition.row == 4 || definition.row == 5;
    if (indicator) {
      EXPECT_EQ(s.foreground, colour::kGrey) << definition.name;
      EXPECT_EQ(s.background, colour::kBlack) << definition.name;
      EXPECT_EQ(s.text, definition.createdText) << definition.name;
    }
    if (!definition.look.background) {
      EXPECT_FALSE(s.background.has_value()) << definition.name;  // captions, credit line, buttons
    }
  }
  EXPECT_EQ(m.field(Field::cmdSetFreq).foreground, colour::kBlack);
  EXPECT_EQ(m.field(Field::lblTraffic).background, colour::kBlack);
  EXPECT_EQ(m.field(Field::lblCopyright).foreground, colour::kLightGrey);
  EXPECT_EQ(m.form.tunedFlag(), 'N');
  EXPECT_TRUE(m.form.timer(TimerId::tmrSetFreqAtStart).enabled);
  EXPECT_TRUE(m.form.timer(TimerId::tmrRSSI).enabled);
  EXPECT_FALSE(m.form.timer(TimerId::tmrWriteMetadata).enabled);
}

TEST_F(StartupTest, ReadsTheIniTheWayHandWrittenFilesExpect) {
  struct Case {
    const char* what;
    std::string ini;
    std::string comPort;  // empty: the key reads as missing
    std::string frequency;
  };
  const std::string longValue(130, '9');
  const std::vector<Case> cases = {
      {"CR LF", "[Tallowmere]\r\nCOMport=3\r\nFrequency=104.5\r\n", "3", "104.5"},
      {"LF, lower case names", "[tallowmere]\ncomport=3\nFREQUENCY=104.5\n", "3", "104.5"},
      {"CR only", "[TALLOWMERE]\rCOMport=3\rFrequency=104.5", "3", "104.5"},
      {"byte-order mark", "\xEF\xBB\xBF[Tallowmere]\nCOMport=3\n", "3", ""},
      {"blanks around names and value", "[ Tallowmere ]\n  COMport  =   3  \n", "3", ""},
      {"quotes dropped once", "[Tallowmere]\nFrequency=\"'88.8'\"\n", "", "'88.8'"},
      {"single quotes", "[Tallowmere]\nFrequency=' 88.8 '\n", "", " 88.8 "},
      {"unmatched quote kept", "[Tallowmere]\nFrequency=\"88.8\n", "", "\"88.8"},
      {"no inline comments", "[Tallowmere]\nFrequency=88.8 ; home\n", "", "88.8 ; home"},
      {"comment lines", "[Tallowmere]\n;Frequency=99\n  ; COMport=4\nFrequency=88.8\n", "", "88.8"},
      {"first key wins", "[Tallowmere]\nCOMport=2\nCOMport=5\n", "2", ""},
      {"first section wins", "[Tallowmere]\nCOMport=2\n[Other]\n[Tallowmere]\nFrequency=99\n", "2", ""},
      {"other sections ignored", "[Radio]\nCOMport=9\n[Tallowmere]\nCOMport=4\n", "4", ""},
      {"cut to 119", "[Tallowmere]\nFrequency=" + longValue + "\n", "", std::string(119, '9')},
      {"no newline at all", "[Tallowmere]", "", ""},
      {"NUL ends a value", std::string("[Tallowmere]\nFrequency=88.8\0junk\n", 33), "", "88.8"},
  };
  for (const Case& c : cases) {
    const IniFile ini = IniFile::fromText(c.ini);
    EXPECT_EQ(ini.value("Tallowmere", "COMport").value_or(""), c.comPort) << c.what;
    EXPECT_EQ(ini.value("Tallowmere", "Frequency").value_or(""), c.frequency) << c.what;
  }
}

TEST_F(StartupTest, TellsOnStderrWhatIsWrongWithTheSettingsAndStillStarts) {
  struct Case {
    const char* what;
    const char* ini;  // nullptr: no file
    const char* message;
  };
  const std::vector<Case> cases = {
      {"missing file", nullptr, "tallowmere.ini: not found"},
      {"no section", "[Radio]\nCOMport=1\n", "has no [Tallowmere] section"},
      {"no COMport", "[Tallowmere]\nFrequency=88.8\n", "key \"COMport\" is missing"},
      {"no Frequency", "[Tallowmere]\nCOMport=1\n", "key \"Frequency\" is missing"},
      {"bad COMport", "[Tallowmere]\nCOMport=COM3\nFrequency=88.8\n", "COMport \"COM3\" is neither"},
      {"port 0", "[Tallowmere]\nCOMport=0\nFrequency=88.8\n", "COMport \"0\" is not a port number"},
  };
  const std::string huge = "[Tallowmere]\nCOMport=1\n" + std::string(2 << 20, ';');
  const char kBinary[] = "[Tallowmere]\n\0\x01\xFF\xFE=\x80\nCOMport=\x7F\n";
  const std::string binary(kBinary, sizeof kBinary - 1);
  struct Hostile {
    const char* what;
    std::string ini;
    const char* message;
  };
  for (const Hostile& h : std::vector<Hostile>{
           {"huge", huge, "larger than 1 MiB; only its first 1 MiB is read"},
           {"binary", binary, "COMport \"\x7F\" is neither"}}) {
    writeIni(h.ini);
    Monitor m;
    testing::internal::CaptureStderr();
    m.load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(h.message), std::string::npos) << h.what << ": " << err;
  }
  std::filesystem::remove("tallowmere.ini");
  std::filesystem::create_directory("tallowmere.ini");
  {
    Monitor m;
    testing::internal::CaptureStderr();
    m.load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("tallowmere.ini: cannot be read (Is a directory)"), std::string::npos) << err;
    EXPECT_EQ(m.text(Field::txtFreq), "");
  }
  std::filesystem::remove("tallowmere.ini");

  for (const Case& c : cases) {
    std::filesystem::remove("tallowmere.ini");
    if (c.ini != nullptr) writeIni(c.ini);
    Monitor m;
    testing::internal::CaptureStderr();
    m.load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.message), std::string::npos) << c.what << ": " << err;
    EXPECT_EQ(m.text(Field::lblPS), "INITIALISING") << c.what;
    EXPECT_EQ(readFile("traffic.txt"), "?\r\n") << c.what;
  }
}

TEST(ComPortRule, MapsNumbersToSerialPortsAndKeepsDevicePaths) {
  struct Case {
    std::string value;
    std::string device;  // empty: no device
  };
  const std::vector<Case> cases = {
      {"1", "/dev/ttyS0"}, {" 3 ", "/dev/ttyS2"}, {"2.5", "/dev/ttyS1"}, {"3.5", "/dev/ttyS3"},
      {"1.5", "/dev/ttyS1"}, {"32767", "/dev/ttyS32766"}, {"32768", ""}, {"0", ""}, {"-2", ""},
      {"0.4", ""}, {"", ""}, {"COM1", ""}, {"dev/ttyUSB0", ""},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"./receiver", "./receiver"}, {"../rx/port", "../rx/port"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(deviceForComPort(c.value).device.value_or(""), c.device) << '"' << c.value << '"';
  }
}

}  // namespace
}  // namespace tallowmere::test
