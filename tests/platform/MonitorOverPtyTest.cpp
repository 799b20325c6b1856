// The real monitor program with a pseudo-terminal for the receiver: what it sends, writes to
// traffic.txt and tells the user, through noise, a flood, and a receiver unplugged.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <random>
#include <regex>

#include "tests/support/ChildProcess.h"
#include "tests/support/Harness.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

namespace fs = std::filesystem;

// A station's name, with the traffic programme flag and the announcement flag `ta`.
std::string station(char ta) {
  std::string lines;
  for (char n : {'0', '1', '2', '3'})
    lines += hexLine("D42A", std::string{'0', '4', ta, n}, "E0CD", "4C4C");
  return lines;
}

using MonitorOverPty = InWorkingFolder;

TEST_F(MonitorOverPty, RunsThroughNoiseAFloodAndAReceiverThatComesAndGoes) {
  fs::permissions(folder, fs::perms::all);  // the monitor runs as nobody under root
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
  pty->write(station('1'));
  EXPECT_TRUE(traffic(" 1 \r\n"));

  // Noise never stops decoding: a mebibyte without LF, random bytes, NULs and CR alone.
  std::mt19937 random(20261207);
  std::string noise(40000, '\0');
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  pty->write(std::string(1 << 20, 'x') + noise + std::string(1000, '\0') + "abc\rdef\r>>>\r\n" +
             station('0'));
  EXPECT_TRUE(traffic(" 0 \r\n"));
  // A flood at the line's rate through three polls: decoding keeps up and drops no line.
  EXPECT_TRUE(sends(*pty, "(i\r\n){3}", station('1'))) << sent;
  EXPECT_TRUE(traffic(" 1 \r\n"));
  EXPECT_EQ(monitor.errors().find("dropped"), std::string::npos) << monitor.errors();

  // Unplugged: the traffic state is unknown until the receiver is back. Each problem on the
  // way back gets its line; then the receiver gets the last commands again.
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
  pty->write(station('1'));
  EXPECT_TRUE(traffic(" 1 \r\n"));
}

}  // namespace
}  // namespace tallowmere::test
