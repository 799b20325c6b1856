// The real monitor against a receiver line that misbehaves: noise, floods and a receiver
// unplugged again and again.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <random>
#include <string>

#include "tests/support/MonitorProcess.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/Wire.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono_literals;

// A station with the traffic programme flag, an announcement on and RadioText.
const std::string kStation =
    ">>> D42A:0410:E0CD:5441<\r\n>>> D42A:2400:4E65:7773<\r\n>>> D42A:0411:E0CD:4C4C<\r\n"
    ">>> D42A:2401:2061:7420<\r\n>>> D42A:0412:E0CD:4F57<\r\n>>> D42A:0413:E0CD:2020<\r\n";

class Robustness : public InWorkingFolder {
 protected:
  void SetUp() override {
    InWorkingFolder::SetUp();
    writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
    pty = std::make_unique<PseudoTerminal>();
    pty->linkAt(folder / "receiver");
    start = Clock::now();
    monitor = std::make_unique<MonitorProcess>();
    const auto startup = commandsFor(*pty, start, 6500ms);
    ASSERT_EQ(matching(startup, "v8\r\n").size(), 1u) << MonitorProcess::errors();
  }
  void TearDown() override {
    monitor.reset();
    pty.reset();
    InWorkingFolder::TearDown();
  }

  std::unique_ptr<PseudoTerminal> pty;
  std::unique_ptr<MonitorProcess> monitor;
  Clock::time_point start;
};

TEST_F(Robustness, NoiseNeverStopsDecoding) {
  std::mt19937 random(20261207);
  std::string noise;
  for (int i = 0; i < 40000; ++i) noise.push_back(static_cast<char>(random() & 0xFF));
  std::string high;
  for (int c = 128; c < 256; ++c) high.push_back(static_cast<char>(c));

  pty->write(std::string(1024 * 1024, 'x'));  // a megabyte without LF
  commandsFor(*pty, start, 3000ms, noise);    // random bytes at line rate
  pty->write(std::string(1000, '\0') + high + high + "abc\rdef\r>>> D42A\r");
  const long rss = residentKb(monitor->pid());
  EXPECT_LT(rss, 100 * 1024) << "KB resident after the noise";

  // The next clean line decodes.
  pty->write("\n" + kStation);
  EXPECT_TRUE(eventually([] { return readFile("traffic.txt") == " 1 \r\n"; })) << readFile("traffic.txt");
  EXPECT_TRUE(monitor->running());
}

// Ten times in a row, during a flood: the receiver is unplugged, the traffic state becomes
// unknown, the monitor waits quietly, and once the receiver is back it gets the last
// tuning and volume commands again and decoding goes on.
TEST_F(Robustness, SurvivesTheReceiverUnpluggedTenTimesDuringAFlood) {
  commandsFor(*pty, start, 1000ms, kStation);
  ASSERT_TRUE(eventually([] { return readFile("traffic.txt") == " 1 \r\n"; }));
  for (int round = 1; round <= 10; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    pty.reset();
    EXPECT_TRUE(eventually([] { return readFile("traffic.txt") == "?\r\n"; }, 3000ms));
    const double cpuBefore = cpuSeconds(monitor->pid());
    std::this_thread::sleep_for(1000ms);
    const double unpluggedCpu = cpuSeconds(monitor->pid()) - cpuBefore;
    EXPECT_LT(unpluggedCpu, 0.2) << "seconds of CPU in one second unplugged";

    pty = std::make_unique<PseudoTerminal>();
    pty->linkAt(folder / "receiver");
    const auto back = Clock::now();
    const auto commands = commandsFor(*pty, back, 3000ms, kStation);
    EXPECT_EQ(matching(commands, "f8880\r\n").size(), 1u);
    EXPECT_EQ(matching(commands, "v8\r\n").size(), 1u);
    std::cout << "round " << round << ", after reconnecting:";
    for (const Command& c : commands) {
      std::cout << ' ' << c.atSeconds << " s " << c.line.substr(0, c.line.size() - 2);
    }
    std::cout << ", " << unpluggedCpu << " s CPU while unplugged\n";
    EXPECT_TRUE(eventually([] { return readFile("traffic.txt") == " 1 \r\n"; }, 3000ms));
  }
  EXPECT_TRUE(monitor->running());
}

}  // namespace
}  // namespace tallowmere::test
