// Start-up: the fields, the files, the settings file and the port it names.
#include <gtest/gtest.h>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"
#include "settings/ComPort.h"
#include "settings/IniFile.h"
#include "tests/support/Harness.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using StartupTest = InWorkingFolder;

TEST_F(StartupTest, PutsTheWindowIntoItsStartUpStateAndSendsNothing) {
  writeIni("[Tallowmere]\r\nCOMport=1\r\nFrequency=88.8\r\n[Web]\r\nListen=off\r\n");
  Harness m;
  m.load();
  EXPECT_EQ(m.file("traffic.txt"), "?\r\n");
  EXPECT_EQ(m.file("metadata.txt"), "\r\n");
  EXPECT_EQ(m.port.opened, std::vector<std::string>{m.form.device()});  // COMport=1: /dev/ttyS0
  EXPECT_FALSE(m.form.webSettings().enabled);
  EXPECT_TRUE(m.port.sent.empty());
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere");

  // clang-format off
  const std::vector<std::pair<Field, std::string>> texts = {
      {Field::lblPS, "INITIALISING"}, {Field::lblPI, ""}, {Field::txtFreq, "88.8"},
      {Field::lblHEX, "WAITING"}, {Field::lblTraffic, "WAITING FOR TRAFFIC FLAG STATUS"},
      {Field::lblCopyright, "Tallowmere FM/RDS receiver monitor v2.03"}, {Field::lblClockTime, "--:--"}};
  for (const auto& [field, text] : texts) EXPECT_EQ(m.text(field), text) << nameOf(field);
  for (Field f : {Field::lblClockTime, Field::lblCToffset, Field::lblUTCtime, Field::lblUTCdate,
                  Field::Label3, Field::Label6, Field::Label16, Field::Label19}) {
    EXPECT_FALSE(m.field(f).visible) << nameOf(f);
  }
  for (Field f : {Field::lblShowTA, Field::lblshowRT, Field::lbl0A, Field::lbl15b}) EXPECT_FALSE(m.lit(f)) << nameOf(f);
  for (Field f : {Field::lblShowTA, Field::lblshowRT, Field::lbl0A, Field::lbl15b, Field::lblTraffic, Field::lblcapA,
                  Field::lblCapB}) {
    EXPECT_EQ(m.field(f).background, colour::kBlack) << nameOf(f);
  }
  // clang-format on
  EXPECT_EQ(m.form.tunedFlag(), 'N');
}

TEST_F(StartupTest, ReadsTheIniTheWayHandWrittenFilesExpect) {
  // clang-format off
  struct Case { const char* what; std::string ini, comPort, frequency; };  // "": the key reads as missing
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
      {"other sections ignored", "[Tallowmore]\nCOMport=9\n[Tallowmere]\nCOMport=4\n", "4", ""},
      {"names match whole", "[Tallowmere2]\nCOMport=9\n[Tallowmere]\nCOMports=8\nCOMport=4\n", "4", ""},
      {"lines without = or ]", "[Tallowmere\nCOMport=9\n[Tallowmere]\nCOMport\nFrequency=88.8\n", "", "88.8"},
      {"cut to 119", "[Tallowmere]\nFrequency=8" + std::string(130, '9') + "\n", "", "8" + std::string(118, '9')},
      {"no newline at all", "[Tallowmere]", "", ""},
      {"NUL ends a value", std::string("[Tallowmere]\nFrequency=88.8\0junk\n", 33), "", "88.8"},
  };
  // clang-format on
  for (const Case& c : cases) {
    const IniFile ini = IniFile::fromText(c.ini);
    EXPECT_EQ(ini.value("Tallowmere", "COMport").value_or(""), c.comPort) << c.what;
    EXPECT_EQ(ini.value("Tallowmere", "Frequency").value_or(""), c.frequency) << c.what;
  }
}

TEST_F(StartupTest, SaysOnStderrWhatIsWrongWithTheSettingsAndStillStarts) {
  const char kBinary[] = "[Tallowmere]\n\0\x01\xFF\xFE=\x80\nCOMport=\x7F\n";
  // clang-format off
  struct Case { const char* what; std::optional<std::string> ini; const char* message; };  // ini none: no file
  const std::vector<Case> cases = {
      {"missing file", std::nullopt, "tallowmere.ini: not found"},
      {"a folder", "(folder)", "tallowmere.ini: cannot be read (Is a directory)"},
      {"no section", "[Radio]\nCOMport=1\n", "has no [Tallowmere] section"},
      {"no COMport", "[Tallowmere]\nFrequency=88.8\n", "key \"COMport\" is missing"},
      {"no Frequency", "[Tallowmere]\nCOMport=1\n", "key \"Frequency\" is missing"},
      {"out of band", "[Tallowmere]\nFrequency=192.5\n", "tallowmere: Frequency=192.5 is out of range: the receiver takes 87 to 108 MHz\n"},
      {"bad COMport", "[Tallowmere]\nCOMport=COM3\nFrequency=88.8\n", "COMport \"COM3\" is neither"},
      {"blank inside", "[Tallowmere]\nCOMport=1 0\n", "COMport \"1 0\" is neither"},
      {"port 0", "[Tallowmere]\nCOMport=0\nFrequency=88.8\n", "COMport \"0\" is not a port number"},
      {"huge", "[Tallowmere]\nCOMport=1\n" + std::string(2 << 20, ';'), "only its first 1 MiB is read"},
      {"binary", std::string(kBinary, sizeof kBinary - 1), "COMport \"\x7F\" is neither"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::filesystem::remove("tallowmere.ini");
    if (c.ini == "(folder)") {
      std::filesystem::create_directory("tallowmere.ini");
    } else if (c.ini) {
      writeIni(*c.ini);
    }
    Harness m;
    testing::internal::CaptureStderr();
    m.load();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.message), std::string::npos) << c.what << ": " << err;
    EXPECT_EQ(err.find('\0'), std::string::npos) << c.what;  // the folder's path as it is
    EXPECT_EQ(m.text(Field::lblPS), "INITIALISING") << c.what;
    EXPECT_EQ(m.file("traffic.txt"), "?\r\n") << c.what;
  }
}

// The window repaints only the fields a write changed. Station bytes stay bytes in the
// model and the dump; the window draws them through the RDS character table.
TEST(DisplayModelTest, MarksWhatChangedDumpsAsJsonAndShowsStationBytesThroughTheRdsTable) {
  DisplayModel w;
  w.clearChanges();
  w.setText(Field::lblPS, "NOPSNAME");
  w.setForeground(Field::lblPS, colour::kWhite);
  w.setBackground(Field::lblPS, colour::kBlack);
  w.setVisible(Field::lblPS, true);
  EXPECT_FALSE(w.anyChanged());
  w.setText(Field::lblPI, "D314");
  w.light(Field::lbl2A);
  EXPECT_TRUE(w.changed(Field::lblPI) && w.changed(Field::lbl2A));
  EXPECT_FALSE(w.changed(Field::lblPS) || w.changed(Field::lbl0A));
  w.setText(Field::lblPS,
            "R&B \"S\\\x99"
            "d");
  const std::string json = dumpJson(w, {"f8880\r\n"}, 7);
  for (const char* part :
       {R"("lblPS": {"text": "R&B \"S\\\u0099d", "fg": "#FFFFFF", "bg": "#000000", "visible": true})",
        R"("Label17": {"text": "PS:", "fg": "#FFFFFF", "bg": null, "visible": true})",
        R"("sent": ["f8880\u000D\u000A"], "decoded": 7})"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part;
  }
  for (const Field f : {Field::lblPS, Field::lblRadioText, Field::lblRTA, Field::lblRTB, Field::txtFreq})
    EXPECT_EQ(shownTextUtf8(f, "A\x91\xA9\r\x7F\xFF"),
              f == Field::txtFreq ? "A\u0091\u00A9\r\x7F\u00FF" : "A\u00E4\u20AC   ")
        << nameOf(f);
}

TEST(ComPortRule, MapsNumbersToSerialPortsAndKeepsDevicePaths) {
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1", "/dev/ttyS0"}, {" 3 ", "/dev/ttyS2"}, {"\t3\r", "/dev/ttyS2"}, {"2.5", "/dev/ttyS1"},
      {"3.5", "/dev/ttyS3"}, {"1.5", "/dev/ttyS1"}, {"2.51", "/dev/ttyS2"}, {"2.6", "/dev/ttyS2"}, {"3.2", "/dev/ttyS2"}, {"32767", "/dev/ttyS32766"},
      {"32768", ""}, {"123456789012345678901", ""}, {"0", ""}, {"-2", ""}, {"0.4", ""}, {"", ""}, {"1 0", ""}, {"1. 5", ""},
      {"COM1", ""}, {"dev/ttyUSB0", ""}, {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"./receiver", "./receiver"},
      {"../rx/port", "../rx/port"},
  };
  // clang-format on
  for (const auto& [value, device] : cases) {
    EXPECT_EQ(deviceForComPort(value).device.value_or(""), device) << '"' << value << '"';
  }
  EXPECT_EQ(deviceForComPort("-32768").problem, deviceForComPort("0").problem);  // a number below port 1
}

}  // namespace
}  // namespace tallowmere::test
