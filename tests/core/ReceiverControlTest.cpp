// Tuning and volume commands, the retune reset, the timed tasks and a receiver that
// goes away and comes back.
#include <gtest/gtest.h>

#include "receiver/ReceiverCommands.h"
#include "tests/support/Harness.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using ReceiverControlTest = InWorkingFolder;

TEST_F(ReceiverControlTest, TurnsTheFrequencyBoxIntoTheTuneCommand) {
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> cases = {
      // box text, command sent (empty: nothing sent and the box shows INVALID)
      {"88.8", "f8880\r\n"}, {"88.80", "f8880\r\n"}, {"100", "f10000\r\n"}, {"104.5", "f10450\r\n"},
      {"87.55", "f8755\r\n"}, {"87", "f8700\r\n"}, {"108", "f10800\r\n"}, {"107.95", "f10795\r\n"},
      {"99.9", "f9990\r\n"}, {"104,5", "f10400\r\n"}, {"1 0 4 . 5", "f10450\r\n"},
      {" +88.8 MHz", "f8880\r\n"}, {"0088.8", "f8880\r\n"}, {"88.8.8", "f8880\r\n"}, {"88-1", "f8800\r\n"},
      // More than two decimals: rounded to the nearest 10 kHz on the typed digits.
      {"87.555", "f8756\r\n"}, {"99.999", "f10000\r\n"}, {"87.5549", "f8755\r\n"}, {"107.999", "f10800\r\n"},
      {"86.99", ""}, {"108.01", ""}, {"108.001", ""}, {"86.995", ""}, {"", ""}, {"FM", ""},
      {"INVALID", ""}, {"-90", ""}, {"1e2", ""}, {"8\x1A" "8.8", ""},
  };
  // clang-format on
  for (const auto& [box, sent] : cases) {
    Harness m;
    m.load();
    m.type(Field::txtFreq, box);
    m.form.cmdSetFreq_Click();
    EXPECT_EQ(m.sentLines(), sent.empty() ? std::vector<std::string>{} : std::vector{sent}) << box;
    EXPECT_EQ(m.text(Field::txtFreq), sent.empty() ? "INVALID" : box) << box;
    EXPECT_EQ(m.form.tunedFlag(), 'Y') << box;
    EXPECT_EQ(TuneCommand(frequencyDigits(m.form.tunedFrequency()).value_or("")),
              sent.empty() ? "f\r\n" : sent);
  }
}

TEST_F(ReceiverControlTest, SendsOnlyVolumesTheReceiverAcceptsAsOneLineOfAscii) {
  struct Case {
    std::string box;
    std::string sent;  // empty: nothing sent and the box is reset to "8"
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"8", "v8\r\n"}, {"15", "v15\r\n"}, {"0", "v0\r\n"}, {" 12", "v 12\r\n"}, {"8.5", "v8.5\r\n"},
      {"loud", "vloud\r\n"}, {"16", ""}, {"-1", ""}, {"15.5", ""},
      {"9\r\nf10450", "v9f10450\r\n"},              // no second command on the line
      {"1\x1B" "6", ""}, {std::string("9\0" "99", 4), ""},  // checked on what would be sent
      {"8\x1A", "v8\r\n"}, {"8\xE9", "v8\r\n"}, {"8\x7F", "v8\r\n"},  // typed beyond ASCII
  };
  // clang-format on
  for (const Case& c : cases) {
    Harness m;
    m.load();
    m.type(Field::txtVol, c.box);
    m.form.cmdSetVolume_Click();
    EXPECT_EQ(m.sentLines(), c.sent.empty() ? std::vector<std::string>{} : std::vector{c.sent}) << c.box;
    EXPECT_EQ(m.text(Field::txtVol), c.sent.empty() ? "8" : c.box) << c.box;
  }
}

TEST_F(ReceiverControlTest, RetuneForgetsThePreviousStationButKeepsWhatItDoesNotReset) {
  Harness m;
  m.loadAndTune();
  TestStation s;
  s.flags.ta = true;
  for (int segment : {0, 1, 0}) m.receive(s.psLine(segment));
  m.receive(s.rtLine(true, 0, "News"));
  m.receive(s.typeLine(4, 0b00001, 0xC9F2, 0x5544));
  m.receive(s.typeLine(3, 0, 0, kTmcApplicationId));
  m.receive(" RDS STEREO RSSI: 52\r\n");
  ASSERT_EQ(m.text(Field::lblTraffic), "TRAFFIC ANNOUNCEMENT");

  m.type(Field::txtFreq, "86");
  m.form.cmdSetFreq_Click();  // rejected, still a full reset
  for (Field f : {Field::lbl0A, Field::lbl2A, Field::lbl3A, Field::lbl4A, Field::lblShowTA, Field::lblshowTP,
                  Field::lblShowEON, Field::lblshowCT, Field::lblshowTMC, Field::lblshowRT}) {
    EXPECT_TRUE(!m.lit(f) && m.field(f).background == colour::kBlack) << nameOf(f);
  }
  for (Field f : {Field::lblTraffic, Field::lblcapA, Field::lblCapB}) {
    EXPECT_EQ(m.field(f).background, colour::kBlack) << nameOf(f);
  }
  for (Field f : {Field::lblPI, Field::lblPS}) EXPECT_EQ(m.text(f), "") << nameOf(f);
  EXPECT_EQ(m.text(Field::lblClockTime), "--:--");
  EXPECT_EQ(m.text(Field::lblTraffic), "WAITING FOR TRAFFIC FLAG STATUS");
  EXPECT_TRUE(m.form.decoderState() == DecoderState{});
  // Kept until the decoders write them again.
  EXPECT_EQ(m.text(Field::lblRTB).substr(0, 4), "News");
  EXPECT_EQ(m.text(Field::lblTP), "1");
  EXPECT_EQ(m.text(Field::lblRSSI), "RSSI: 52 dBuV");
  EXPECT_EQ(m.text(Field::lblUTCtime), "05:21");
  EXPECT_EQ(m.field(Field::lblStereo).background, colour::kGreen);
  // The next group of the new station writes the traffic state again.
  m.receive(s.psLine(0));
  EXPECT_EQ(m.file("traffic.txt"), " 0 \r\n");
}

TEST_F(ReceiverControlTest, TimersPollTuneOnceAndStartTheMetadataWriter) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  Harness m;
  m.load();
  // Until the start-up tune the receive handler reads and drops everything.
  const std::string odd = hexLine("C201", "2400", "41-2", "4344");
  m.receive(" RDS STEREO RSSI: 42\r\n");
  m.receive(odd);
  m.clock.advanceTo(4999);
  EXPECT_EQ(m.text(Field::lblHEX), "WAITING");
  EXPECT_EQ(m.text(Field::lblRSSI), "RSSI: --");
  EXPECT_EQ(m.form.tunedFlag(), 'N');
  m.clock.advanceTo(60000);

  const auto& sent = m.port.sent;
  const std::vector<std::pair<long, std::string>> expectedStart = {
      {2000, "i\r\n"}, {4000, "i\r\n"}, {5000, "f8880\r\n"}, {5000, "v8\r\n"}, {6000, "i\r\n"}};
  ASSERT_GE(sent.size(), expectedStart.size());
  EXPECT_EQ(std::vector(sent.begin(), sent.begin() + 5), expectedStart);
  EXPECT_EQ(sent.size(), 30u + 2u);  // "i" every 2 s up to 60 s, one tune, one volume
  EXPECT_FALSE(m.form.timer(TimerId::tmrSetFreqAtStart).enabled);
  EXPECT_TRUE(m.form.timer(TimerId::tmrWriteMetadata).enabled);
  EXPECT_EQ(m.text(Field::lblHEX), "");
  EXPECT_EQ(m.file("metadata.txt"), "NO RADIOTEXT\r\n");  // the first tick, at 25 s
  m.receive(odd);                                         // nothing of the dropped line was kept
  EXPECT_EQ(m.text(Field::lblHEX), "C201240041-24344");
}

// A receiver plugged in late or again gets the last tuning and volume commands; a traffic
// state that could not be written is written at the next group or signal poll, so the file
// never keeps a stale state once the folder is writable again.
TEST_F(ReceiverControlTest, AReceiverThatComesBackIsTunedAgainAndTrafficTxtNeverStaysStale) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  Harness m;
  m.port.opens = false;
  m.files.writable = false;
  m.load();
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere (receiver not connected)");
  m.form.receiverConnected();  // before anything was sent: nothing to repeat
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere");
  EXPECT_TRUE(m.sentLines().empty());
  m.files.writable = true;
  m.clock.advanceTo(2000);
  EXPECT_EQ(m.file("traffic.txt"), "?\r\n");  // the start-up content

  m.clock.advanceTo(5000);
  TestStation s;
  s.flags.ta = true;
  m.receive(s.psLine(0));
  m.receive(s.psLine(1));
  ASSERT_EQ(m.file("traffic.txt"), " 1 \r\n");
  m.form.receiverDisconnected();
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere (receiver not connected)");
  EXPECT_EQ(m.file("traffic.txt"), "?\r\n");
  EXPECT_EQ(m.text(Field::lblPS), "TALL____") << "the display keeps what it showed";
  // Commands given while the port is closed are the ones repeated.
  for (const auto& [box, text] :
       {std::pair{Field::txtFreq, "104.5"}, {Field::txtVol, "12"}, {Field::txtVol, "99"}}) {
    m.type(box, text);
    box == Field::txtFreq ? m.form.cmdSetFreq_Click() : m.form.cmdSetVolume_Click();
  }
  m.port.sent.clear();
  m.form.receiverConnected();
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere");
  EXPECT_EQ(m.sentLines(), (std::vector<std::string>{"f10450\r\n", "v12\r\n"}));
  m.receive(s.psLine(0));
  m.receive(s.psLine(1));
  EXPECT_EQ(m.file("traffic.txt"), " 1 \r\n");

  m.files.writable = false;
  s.flags.ta = false;
  m.receive(s.psLine(2));  // the announcement ends with the station's last group
  EXPECT_EQ(m.text(Field::lblTraffic), "NORMAL BROADCAST");
  m.clock.advanceTo(5500);
  m.files.writable = true;
  EXPECT_EQ(m.file("traffic.txt"), " 1 \r\n");
  m.clock.advanceTo(6000);
  EXPECT_EQ(m.file("traffic.txt"), " 0 \r\n");
  m.files.writable = false;
  s.flags.ta = true;
  m.receive(s.psLine(3));
  m.files.writable = true;
  m.receive(s.psLine(0));  // or at the next group, whichever comes first
  EXPECT_EQ(m.file("traffic.txt"), " 1 \r\n");
  m.files.writable = false;
  m.form.receiverDisconnected();
  m.files.writable = true;
  m.clock.advanceTo(8000);
  EXPECT_EQ(m.file("traffic.txt"), "?\r\n");
}

}  // namespace
}  // namespace tallowmere::test
