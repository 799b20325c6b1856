// tallowmere-sim driven over its pseudo-terminal as the monitor drives it; both tools' command lines.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <regex>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere::test {
namespace {

using SimulatorTest = InWorkingFolder;

// The monitor's end of the device (the simulator makes it raw); keeps all it has read.
struct Terminal {
  int fd = ::open("receiver", O_RDWR | O_NOCTTY | O_NONBLOCK);
  std::string got;

  ~Terminal() { ::close(fd); }
  // Sends `command`, then reads until `done` holds, or without until the simulator has closed its side.
  bool exchange(const std::string& command, const std::function<bool()>& done = nullptr) {
    EXPECT_EQ(command.empty() ? 0 : ::write(fd, command.data(), command.size()), std::ssize(command));
    return eventually([&] {
      ssize_t n;
      for (char b[4096]; (n = ::read(fd, b, sizeof b)) > 0;) got.append(b, static_cast<std::size_t>(n));
      return done ? done() : n == 0 || errno != EAGAIN;
    });
  }
};

TEST_F(SimulatorTest, BuiltInStationFloodedAndRecorded) {
  ChildProcess sim({SIM_BINARY, "--flood", "--record", "recording.txt", "receiver"});
  ASSERT_TRUE(sim.output(10000).starts_with("receiver -> /dev/pts/"));  // 'LINK -> DEVICE' once it is ready
  Terminal monitor;
  const std::string noStation = " --- MONO RSSI: 07\r\n";  // all there is before the first tuning
  ASSERT_TRUE(monitor.exchange("i\r\n", [&] { return monitor.got == noStation; })) << monitor.got;
  ASSERT_TRUE(monitor.exchange("f8880\r\n", [&] { return std::ranges::count(monitor.got, '\n') > 300; }));
  const std::regex onStation(" RDS STEREO RSSI: (4[4-9]|50)\r\n");
  ASSERT_TRUE(monitor.exchange("i\n", [&] { return std::regex_search(monitor.got, onStation); }));
  // A frequency without a station: nothing after the answer to the command behind it.
  ASSERT_TRUE(monitor.exchange("f9000\ri\r\n", [&] { return monitor.got.ends_with("\r\n" + noStation); }));
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_TRUE(monitor.exchange("") && monitor.got.ends_with("\r\n" + noStation)) << monitor.got;
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status("receiver")));

  EXPECT_EQ(readFile("recording.txt"), monitor.got);
  const QJsonObject dump = replay({"recording.txt"}).last();
  EXPECT_EQ(dump["decoded"].toInteger(), std::ranges::count(monitor.got, '>') / 3);
  EXPECT_EQ(shown(dump, "lblPS"), "DALE FM ");
}

TEST_F(SimulatorTest, GroupsFileOnceOverALeftoverLink) {
  const std::string first = groupLine(basicTuningGroup({.pi = 0x1234}, {}, 0, "ABCDEFGH", 0xE0CD)),
                    last = groupLine(radioTextGroup({.pi = 0x1234}, false, 0, "ABCD"));
  // A blank line and a line ended by LF alone: group lines with CR LF all the same.
  writeFile("two.groups", first + "\r\n" + last.substr(0, 25) + "\n");
  std::filesystem::create_symlink("/dev/null", "receiver");  // left over from an earlier run
  ChildProcess sim({SIM_BINARY, "--groups", "two.groups", "--once", "--flood", "receiver"});
  ASSERT_TRUE(sim.output(10000).starts_with("receiver -> /dev/pts/"));  // the link replaced
  Terminal monitor;
  ASSERT_TRUE(monitor.exchange("f9000\r\n", [&] { return monitor.got.ends_with(last); }));
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_TRUE(monitor.exchange(""));
  EXPECT_EQ(monitor.got, first + last);
}

TEST_F(SimulatorTest, CommandLinesOfBothTools) {
  writeFile("taken", "not a link");
  writeFile("bad.jsonl", "\"ok\"\n{\"tick\": \"noon\"}\n");
  writeFile("wide.jsonl", "\"\\u0100\"\n");
  const std::string sim = SIM_BINARY, replay = REPLAY_BINARY;
  // clang-format off
  const std::tuple<std::vector<std::string>, int, std::string> runs[] = {
      {{sim, "--help"}, 0, "Usage: tallowmere-sim"}, {{sim, "--once"}, 2, "--once goes with --groups"},
      {{sim, "--groups"}, 2, "--groups needs a file name"}, {{sim, "-f"}, 2, "unexpected argument '-f'"},
      {{sim, "a", "b"}, 2, "unexpected argument 'b'"}, {{sim, "--groups", "none"}, 1, "none: No such file"},
      {{sim, "taken"}, 1, "is not a symbolic link"}, {{replay, "."}, 2, "cannot read .: Is a dir"},
      {{replay, "--help"}, 0, "Usage: tallowmere-replay"}, {{replay}, 2, "Usage: tallowmere-replay"},
      {{replay, "a", "b"}, 2, "unexpected argument 'b'"}, {{replay, "--scrip", "a"}, 2, "argument '--scrip'"},
      {{replay, "none"}, 2, "read none: No such"}, {{replay, "--script", "bad.jsonl"}, 2, "bad.jsonl:2:"},
      {{replay, "--script", "wide.jsonl"}, 2, "wide.jsonl:1:"}};
  // clang-format on
  for (const auto& [command, status, says] : runs) {
    const auto [code, out, err] = runToEnd(command);
    EXPECT_TRUE(code == status && (out + err).find(says) != std::string::npos) << code << ' ' << out << err;
  }
  EXPECT_EQ(readFile("taken"), "not a link");
}

}  // namespace
}  // namespace tallowmere::test
