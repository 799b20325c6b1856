// The monitor program on a pseudo-terminal: commands, traffic.txt and messages through noise, flood, unplug.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <memory>
#include <regex>
#include <sstream>

#include "tests/support/ChildProcess.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

namespace fs = std::filesystem;

std::string station(bool ta) {
  std::string lines;
  for (int k = 0; k < 4; ++k) lines += TestStation{.flags = {.ta = ta}}.psLine(k);  // name; TP on, TA `ta`
  return lines;
}

using MonitorOverPty = InWorkingFolder;

TEST_F(MonitorOverPty, RunsThroughNoiseAFloodAndAReceiverThatComesAndGoes) {
  fs::permissions(folder, fs::perms::all);  // the monitor runs as nobody under root
  ::unsetenv("XDG_RUNTIME_DIR");  // as under systemd: the toolkit must not say so (checked at the end)
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  ChildProcess monitor(unprivileged({MONITOR_BINARY}));
  std::string sent;
  const auto says = [&](const std::string& line) {
    const std::string expected = "tallowmere: receiver " + (folder / "receiver").string() + line;
    EXPECT_TRUE(eventually([&] { return monitor.errors().find(expected) != std::string::npos; })) << expected;
  };
  // Reads what the monitor sends, writing `flood` meanwhile at about the line's rate.
  const auto sends = [&](const PseudoTerminal& pty, const char* expected, const std::string& flood = "") {
    sent.clear();
    return eventually([&] {
      pty.write(flood);
      return std::regex_match(sent += pty.read(std::chrono::milliseconds(20)), std::regex(expected));
    });
  };
  const auto traffic = [](const char* content) {
    return eventually([&] { return readFile("traffic.txt") == content; });
  };

  // The receiver appears before the start-up tune is due: polls, then tuning and volume.
  says(" does not exist (is the receiver plugged in?); trying again every 2 s");
  auto pty = std::make_unique<PseudoTerminal>("receiver");
  EXPECT_TRUE(sends(*pty, "(i\r\n)+f8880\r\nv8\r\n")) << sent;
  pty->write(station(true));
  EXPECT_TRUE(traffic(" 1 \r\n"));

  // Noise never stops decoding: a mebibyte without LF, every byte value (flow control, NUL), CR alone.
  std::string noise(1 << 20, 'x');
  for (int b = 0; b < 256; ++b) noise += static_cast<char>(b);
  pty->write(noise + "abc\rdef\r>>>\r\n" + station(false));
  EXPECT_TRUE(traffic(" 0 \r\n"));
  // A flood at the line's rate through three polls: decoding keeps up and drops no line.
  EXPECT_TRUE(sends(*pty, "(i\r\n){3}", station(true))) << sent;
  EXPECT_TRUE(traffic(" 1 \r\n"));
  EXPECT_EQ(monitor.errors().find("dropped"), std::string::npos) << monitor.errors();

  // Unplugged: traffic unknown until the receiver is back; each problem on the way back gets its line.
  pty.reset();
  EXPECT_TRUE(traffic("?\r\n"));
  says(" lost (reading failed: the line hung up); trying to reopen it every 2 s");
  pty = std::make_unique<PseudoTerminal>("receiver", fs::perms::none);
  struct stat device {};
  ::stat(pty->slavePath().c_str(), &device);
  const std::string group = ::getgrgid(device.st_gid)->gr_name;
  says(" permission denied: the device belongs to group " + group +
       "; add yourself with \"sudo usermod -aG " + group + " ");
  fs::permissions(pty->slavePath(), fs::perms(0666));
  pty->holdExclusively();
  says(" is busy: another program has it open; trying again every 2 s");
  pty = std::make_unique<PseudoTerminal>("receiver");
  EXPECT_TRUE(sends(*pty, "f8880\r\nv8\r\n(i\r\n)*")) << sent;
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");
  pty->write(station(true));
  EXPECT_TRUE(traffic(" 1 \r\n"));
  std::istringstream err(monitor.errors());
  for (std::string line; std::getline(err, line);) EXPECT_TRUE(line.starts_with("tallowmere: ")) << line;
}

// The check command run by the monitor: the receiver unplugged raises its alarm and back
// again clears it, the script hearing both in order; a script that hangs is killed, and
// groups are decoded meanwhile.
TEST_F(MonitorOverPty, RunsTheCheckCommandWithoutDelayingDecoding) {
  fs::permissions(folder, fs::perms::all);  // the monitor runs as nobody under root
  writeFile("alarm.sh",
            "#!/bin/sh\n[ \"$TALLOWMERE_CHECK\" = receiver ] || exit 0\n"
            "echo $TALLOWMERE_STATE $TALLOWMERE_RECEIVED $TALLOWMERE_FREQUENCY >>alarms.txt\n"
            "[ -e hang ] && echo $$ >hang.pid && exec sleep 300\n");
  fs::permissions("alarm.sh", fs::perms(0755));
  writeIni(
      "[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n"
      "[Checks]\nTrigger=1\nRelease=1\nCommandTimeout=10\nCommand=./alarm.sh\n");
  auto pty = std::make_unique<PseudoTerminal>("receiver");
  ChildProcess monitor(unprivileged({MONITOR_BINARY}));
  const auto alarms = [](const std::string& expected) {
    return eventually([&] { return fs::exists("alarms.txt") && readFile("alarms.txt") == expected; });
  };
  // The station sent until traffic.txt shows its state; with `alive`, while that process runs.
  const auto decoded = [&](bool ta, const char* content, pid_t alive = 0) {
    return eventually([&] {
      pty->write(station(ta));
      return readFile("traffic.txt") == content && (alive == 0 || ::kill(alive, 0) == 0);
    });
  };
  EXPECT_TRUE(decoded(true, " 1 \r\n"));
  pty.reset();
  EXPECT_TRUE(alarms("raised not connected 88.8\n"));
  writeFile("hang", "");  // the script hangs from now on: at the clear, with the receiver back
  pty = std::make_unique<PseudoTerminal>("receiver");
  EXPECT_TRUE(alarms("raised not connected 88.8\ncleared connected 88.8\n"));
  ASSERT_TRUE(eventually([] { return fs::exists("hang.pid") && !readFile("hang.pid").empty(); }));
  const pid_t hanging = std::stoi(readFile("hang.pid"));
  EXPECT_TRUE(decoded(false, " 0 \r\n", hanging));
  EXPECT_TRUE(decoded(true, " 1 \r\n", hanging));
  EXPECT_TRUE(eventually([&] { return ::kill(hanging, 0) != 0; }, std::chrono::minutes(2)));
  EXPECT_NE(
      monitor.errors().find("tallowmere: check command ./alarm.sh did not end within 10 s and was killed"),
      std::string::npos)
      << monitor.errors();
}

}  // namespace
}  // namespace tallowmere::test
