// Tuning and volume commands, the retune reset and the timed tasks.
#include <gtest/gtest.h>

#include "tests/support/FakeReceiver.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using ReceiverControlTest = InWorkingFolder;

TEST_F(ReceiverControlTest, TurnsTheFrequencyBoxIntoTheTuneCommand) {
  struct Case {
    std::string box;
    std::string sent;  // empty: nothing sent and the box shows INVALID
  };
  const std::vector<Case> cases = {
      {"88.8", "f8880\r\n"}, {"88.80", "f8880\r\n"}, {"100", "f10000\r\n"},
      {"104.5", "f10450\r\n"}, {"87.55", "f8755\r\n"}, {"87", "f8700\r\n"},
      {"108", "f10800\r\n"}, {"107.95", "f10795\r\n"}, {"99.9", "f9990\r\n"},
      {"104,5", "f10400\r\n"}, {"1 0 4 . 5", "f10450\r\n"}, {" +88.8 MHz", "f8880\r\n"},
      {"0088.8", "f8880\r\n"},
      // More than two decimals: rounded to the nearest 10 kHz on the typed digits.
      {"87.555", "f8756\r\n"}, {"99.999", "f10000\r\n"}, {"87.5549", "f8755\r\n"},
      {"107.999", "f10800\r\n"},
      // The band check applies to the value as read.
      {"86.99", ""}, {"108.01", ""}, {"108.001", ""}, {"86.995", ""}, {"", ""}, {"FM", ""},
      {"INVALID", ""}, {"-90", ""}, {"1e2", ""}, {"88.8.8", "f8880\r\n"},
  };
  for (const Case& c : cases) {
    Monitor m;
    m.load();
    m.form.fields().setText(Field::txtFreq, c.box);
    m.form.cmdSetFreq_Click();
    const std::vector<std::string> expected =
        c.sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.sent};
    EXPECT_EQ(m.sentLines(), expected) << '"' << c.box << '"';
    EXPECT_EQ(m.text(Field::txtFreq), c.sent.empty() ? "INVALID" : c.box) << '"' << c.box << '"';
    EXPECT_EQ(m.form.tunedFlag(), 'Y') << '"' << c.box << '"';
  }
}

TEST_F(ReceiverControlTest, SendsOnlyVolumesTheReceiverAccepts) {
  struct Case {
    std::string box;
    std::string sent;  // empty: nothing sent
    std::string boxAfter;
  };
  const std::vector<Case> cases = {
      {"8", "v8\r\n", "8"},       {"15", "v15\r\n", "15"},     {"0", "v0\r\n", "0"},
      {" 12", "v 12\r\n", " 12"}, {"8.5", "v8.5\r\n", "8.5"},  {"loud", "vloud\r\n", "loud"},
      {"16", "", "8"},            {"-1", "", "8"},             {"15.5", "", "8"},
      {"9\r\nf10450", "v9f10450\r\n", "9\r\nf10450"},  // no second command on the line
  };
  for (const Case& c : cases) {
    Monitor m;
    m.load();
    m.form.fields().setText(Field::txtVol, c.box);
    m.form.cmdSetVolume_Click();
    const std::vector<std::string> expected =
        c.sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.sent};
    EXPECT_EQ(m.sentLines(), expected) << '"' << c.box << '"';
    EXPECT_EQ(m.text(Field::txtVol), c.boxAfter) << '"' << c.box << '"';
  }
}

TEST_F(ReceiverControlTest, RetuneForgetsThePreviousStationButKeepsWhatItDoesNotReset) {
  Monitor m;
  m.loadAndTune();
  // A station: PS segment, TP and TA on, RadioText, clock, TMC, a status line.
  m.receive(groupLine("D314", "0414", "E0CD", "4252"));
  m.receive(groupLine("D314", "2400", "4A61", "7A7A"));
  m.receive(groupLine("D314", "4401", "C9F2", "5544"));
  m.receive(groupLine("D314", "3410", "0000", "CD46"));
  m.receive(" RDS STEREO RSSI: 52\r\n");
  ASSERT_EQ(m.text(Field::lblTraffic), "TRAFFIC ANNOUNCEMENT");
  const std::string rta = m.text(Field::lblRTA);

  m.form.fields().setText(Field::txtFreq, "86");
  m.form.cmdSetFreq_Click();  // rejected, still a full reset

  for (int i = 0; i < kGroupLabelCount; ++i) {
    EXPECT_EQ(m.field(groupLabel(i)).foreground, colour::kGrey);
    EXPECT_EQ(m.field(groupLabel(i)).background, colour::kBlack);
  }
  for (Field f : {Field::lblShowTA, Field::lblshowTP, Field::lblShowEON, Field::lblshowCT,
                  Field::lblshowTMC, Field::lblshowRT}) {
    EXPECT_EQ(m.field(f).foreground, colour::kGrey) << nameOf(f);
    EXPECT_EQ(m.field(f).background, colour::kBlack) << nameOf(f);
  }
  EXPECT_EQ(m.text(Field::lblPI), "");
  EXPECT_EQ(m.text(Field::lblPS), "");
  EXPECT_EQ(m.text(Field::lblClockTime), "--:--");
  EXPECT_EQ(m.text(Field::lblTraffic), "WAITING FOR TRAFFIC FLAG STATUS");
  EXPECT_EQ(m.field(Field::lblTraffic).background, colour::kBlack);
  EXPECT_EQ(m.field(Field::lblcapA).background, colour::kBlack);
  const DecoderState& v = m.form.decoderState();
  EXPECT_EQ(v.psBuffer, "________");
  EXPECT_EQ(v.rtBufferA, std::string(64, '_'));
  EXPECT_EQ(v.rtGroupCount, 0);
  EXPECT_EQ(v.lastAbFlag, '2');
  EXPECT_EQ(v.lastTrafficState, 2);
  EXPECT_EQ(v.tmcSeen, 0);
  // Kept until the decoders write them again.
  EXPECT_EQ(m.text(Field::lblRTA), rta);
  EXPECT_EQ(m.text(Field::lblTP), "1");
  EXPECT_EQ(m.text(Field::lblHEX), "D31434100000CD46");
  EXPECT_EQ(m.text(Field::lblRSSI), "RSSI: 52 dBuV");
  EXPECT_EQ(m.text(Field::lblUTCtime), "05:21");
  EXPECT_EQ(m.field(Field::lblStereo).background, colour::kGreen);
}

TEST_F(ReceiverControlTest, TimersPollTuneOnceAndStartTheMetadataWriter) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  Monitor m;
  m.load();
  m.clock.advanceTo(4999);
  EXPECT_EQ(m.text(Field::lblHEX), "WAITING");
  EXPECT_EQ(m.form.tunedFlag(), 'N');
  m.clock.advanceTo(60000);

  std::vector<std::pair<long, std::string>> sent;
  for (const auto& s : m.port.sent) sent.emplace_back(s.atMs, s.line);
  const std::vector<std::pair<long, std::string>> expectedStart = {
      {2000, "i\r\n"}, {4000, "i\r\n"}, {5000, "f8880\r\n"}, {5000, "v8\r\n"}, {6000, "i\r\n"}};
  ASSERT_GE(sent.size(), expectedStart.size());
  EXPECT_EQ(std::vector(sent.begin(), sent.begin() + 5), expectedStart);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), std::pair<long, std::string>{5000, "f8880\r\n"}), 1);
  EXPECT_EQ(sent.size(), 30u + 2u);  // "i" every 2 s up to 60 s, one tune, one volume
  EXPECT_FALSE(m.form.timer(TimerId::tmrSetFreqAtStart).enabled);
  EXPECT_TRUE(m.form.timer(TimerId::tmrWriteMetadata).enabled);
  EXPECT_EQ(m.text(Field::lblHEX), "");
  // No reception: the first metadata tick, at 25 s, wrote the start-up RadioText.
  EXPECT_EQ(readFile("metadata.txt"), "NO RADIOTEXT\r\n");
}

TEST_F(ReceiverControlTest, OutOfBandStartUpFrequencyStillOpensTheReceiveGate) {
  writeIni("[Tallowmere]\nCOMport=1\nFrequency=120\n");
  Monitor m;
  m.load();
  m.clock.advanceTo(5000);
  EXPECT_EQ(m.sentLines(), (std::vector<std::string>{"i\r\n", "i\r\n", "v8\r\n"}));
  EXPECT_EQ(m.text(Field::txtFreq), "INVALID");
  m.receive(" RDS STEREO RSSI: 42");
  EXPECT_EQ(m.text(Field::lblRSSI), "RSSI: 42 dBuV");
}

TEST_F(ReceiverControlTest, AReceiverThatComesBackGetsTheLastTuneAndVolumeAgain) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  Monitor m;
  m.load();
  // Connected before anything was sent: nothing to repeat.
  m.form.receiverConnected();
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere");
  EXPECT_TRUE(m.sentLines().empty());

  m.clock.advanceTo(5000);
  m.receive(groupLine("D42A", "0410", "E0CD", "5441"));
  m.receive(groupLine("D42A", "0411", "E0CD", "4C4C"));
  ASSERT_EQ(readFile("traffic.txt"), " 1 \r\n");

  m.form.receiverDisconnected();
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere (receiver not connected)");
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");
  EXPECT_EQ(m.text(Field::lblPS), "TALL____") << "the display keeps what it showed";
  // Commands given while the port is closed are the ones repeated.
  m.form.fields().setText(Field::txtFreq, "104.5");
  m.form.cmdSetFreq_Click();
  m.form.fields().setText(Field::txtVol, "12");
  m.form.cmdSetVolume_Click();
  m.form.fields().setText(Field::txtVol, "99");
  m.form.cmdSetVolume_Click();
  m.port.sent.clear();

  m.form.receiverConnected();
  EXPECT_EQ(m.form.windowTitle(), "Tallowmere");
  EXPECT_EQ(m.sentLines(), (std::vector<std::string>{"f10450\r\n", "v12\r\n"}));
  // The next group writes the traffic state again, whatever it was before.
  m.receive(groupLine("D42A", "0410", "E0CD", "5441"));
  m.receive(groupLine("D42A", "0411", "E0CD", "4C4C"));
  EXPECT_EQ(readFile("traffic.txt"), " 1 \r\n");
}

}  // namespace
}  // namespace tallowmere::test
