// The real monitor program on a pseudo-terminal the test owns, checked on the wire and in
// its files: the start-up commands, decoding, and a receiver that goes away and comes back.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "tests/support/MonitorProcess.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/Wire.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono_literals;

class MonitorOverPty : public InWorkingFolder {
 protected:
  void SetUp() override {
    InWorkingFolder::SetUp();
    writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  }
};

// A station with the traffic programme flag and an announcement on.
constexpr char kAnnouncement[] =
    ">>> D42A:0410:E0CD:5441<\r\n>>> D42A:0411:E0CD:4C4C<\r\n>>> D42A:0412:E0CD:4F57<\r\n";

TEST_F(MonitorOverPty, StartsPollsTunesDecodesAndReconnects) {
  auto pty = std::make_unique<PseudoTerminal>();
  pty->linkAt(folder / "receiver");
  const auto start = Clock::now();
  MonitorProcess monitor;

  const auto commands = commandsFor(*pty, start, 7000ms);
  const auto polls = matching(commands, "i\r\n");
  ASSERT_GE(polls.size(), 2u) << MonitorProcess::errors();
  EXPECT_NEAR(polls[0].atSeconds, 2.0, 1.0);
  EXPECT_NEAR(polls[1].atSeconds - polls[0].atSeconds, 2.0, 0.5);
  const auto tunes = matching(commands, "f8880\r\n");
  const auto volumes = matching(commands, "v8\r\n");
  ASSERT_EQ(tunes.size(), 1u);
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_NEAR(tunes[0].atSeconds, 5.0, 1.0);
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");

  // Lines back to back in one write, and lines cut at odd places.
  pty->write(std::string(kAnnouncement).substr(0, 30));
  std::this_thread::sleep_for(20ms);
  pty->write(std::string(kAnnouncement).substr(30));
  EXPECT_TRUE(eventually([] { return readFile("traffic.txt") == " 1 \r\n"; }));

  pty.reset();
  EXPECT_TRUE(eventually([] { return readFile("traffic.txt") == "?\r\n"; }));
  EXPECT_NE(MonitorProcess::errors().find("lost"), std::string::npos);

  pty = std::make_unique<PseudoTerminal>();
  pty->linkAt(folder / "receiver");
  const auto again = commandsFor(*pty, start, 4000ms);
  EXPECT_EQ(matching(again, "f8880\r\n").size(), 1u);
  EXPECT_EQ(matching(again, "v8\r\n").size(), 1u);
  EXPECT_NE(MonitorProcess::errors().find("connected"), std::string::npos);

  // The next group writes the traffic state again.
  pty->write(kAnnouncement);
  EXPECT_TRUE(eventually([] { return readFile("traffic.txt") == " 1 \r\n"; }));
  EXPECT_TRUE(monitor.running());
}

TEST_F(MonitorOverPty, TunesAReceiverThatAppearsAfterStart) {
  const auto start = Clock::now();
  MonitorProcess monitor;
  std::this_thread::sleep_for(6000ms);
  EXPECT_NE(MonitorProcess::errors().find("receiver " + (folder / "receiver").string() + " does not exist"),
            std::string::npos)
      << MonitorProcess::errors();

  PseudoTerminal pty;
  pty.linkAt(folder / "receiver");
  const auto commands = commandsFor(pty, start, 4000ms);
  EXPECT_EQ(matching(commands, "f8880\r\n").size(), 1u);
  EXPECT_EQ(matching(commands, "v8\r\n").size(), 1u);
  EXPECT_TRUE(monitor.running());
}

// Each device the monitor cannot use gets its own line saying what to do; the monitor
// keeps running and keeps trying.
TEST_F(MonitorOverPty, SaysWhyItCannotUseTheDevice) {
  namespace fs = std::filesystem;
  fs::permissions(folder, fs::perms::all);
  struct Case {
    const char* what;
    std::function<std::unique_ptr<PseudoTerminal>()> prepare;
    std::function<std::string()> expected;
  };
  std::string group;
  const std::vector<Case> cases = {
      {"a plain file",
       [] {
         writeFile("receiver", "x");
         return nullptr;
       },
       [&] {
         return "receiver " + (folder / "receiver").string() +
                " is not a serial device; trying again every 2 s";
       }},
      {"no permission",
       [&group] {
         auto pty = std::make_unique<PseudoTerminal>();
         pty->linkAt("receiver");
         fs::permissions(pty->slavePath(), fs::perms::none);
         struct stat info {};
         ::stat(pty->slavePath().c_str(), &info);
         group = ::getgrgid(info.st_gid)->gr_name;
         return pty;
       },
       [&group] {
         return "permission denied: the device belongs to group " + group +
                "; add yourself with \"sudo usermod -aG " + group + " ";
       }},
      {"busy in another program",
       [] {
         auto pty = std::make_unique<PseudoTerminal>();
         pty->linkAt("receiver");
         fs::permissions(pty->slavePath(), fs::perms(0666));
         pty->holdExclusively();
         return pty;
       },
       [] { return std::string("is busy: another program has it open; trying again every 2 s"); }},
  };
  for (const Case& c : cases) {
    fs::remove("receiver");
    const auto pty = c.prepare();
    MonitorProcess monitor(MonitorProcess::unprivileged());
    const std::string expected = c.expected();
    EXPECT_TRUE(
        eventually([&] { return MonitorProcess::errors().find(expected) != std::string::npos; }, 3000ms))
        << c.what << ": " << MonitorProcess::errors();
    EXPECT_TRUE(monitor.running()) << c.what;
  }
}

}  // namespace
}  // namespace tallowmere::test
