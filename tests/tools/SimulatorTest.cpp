// tallowmere-sim run as a process and driven over its pseudo-terminal, as the monitor
// drives it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <regex>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere::test {
namespace {

namespace fs = std::filesystem;
using SimulatorTest = InWorkingFolder;

// The monitor's end of the device (the simulator makes it raw); keeps all it has read.
struct Terminal {
  int fd = ::open("receiver", O_RDWR | O_NOCTTY | O_NONBLOCK);
  std::string got;

  ~Terminal() { ::close(fd); }
  void send(const std::string& s) { EXPECT_EQ(::write(fd, s.data(), s.size()), std::ssize(s)); }
  // Reads until `done` holds, or with none until the simulator has closed its side.
  bool readUntil(const std::function<bool()>& done = nullptr) {
    return eventually([&] {
      char buffer[4096];
      ssize_t n;
      while ((n = ::read(fd, buffer, sizeof buffer)) > 0) got.append(buffer, static_cast<std::size_t>(n));
      return done ? done() : n == 0 || errno != EAGAIN;
    });
  }
};

TEST_F(SimulatorTest, BuiltInStationFloodedAndRecorded) {
  ChildProcess sim({SIM_BINARY, "--flood", "--record", "recording.txt", "receiver"});
  std::string said;
  ASSERT_TRUE(eventually([&] { return (said += sim.output()).ends_with('\n'); }));
  EXPECT_TRUE(said.starts_with("receiver -> /dev/pts/")) << said;
  Terminal monitor;
  monitor.send("i\r\n");  // before the first tuning command, the answer and nothing else
  ASSERT_TRUE(monitor.readUntil([&] { return monitor.got.ends_with('\n'); }));
  EXPECT_EQ(monitor.got, " --- MONO RSSI: 07\r\n");
  monitor.send("f8880\r\n");
  ASSERT_TRUE(monitor.readUntil([&] { return std::ranges::count(monitor.got, '\n') > 300; }));
  monitor.send("i\n");
  const std::regex onStation(" RDS STEREO RSSI: (4[4-9]|50)\r\n");
  ASSERT_TRUE(monitor.readUntil([&] { return std::regex_search(monitor.got, onStation); }));
  // A frequency without a station: nothing after the answer to the command behind it.
  monitor.send("f9000\ri\r\n");
  ASSERT_TRUE(monitor.readUntil([&] { return monitor.got.ends_with("\r\n --- MONO RSSI: 07\r\n"); }));
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_TRUE(monitor.readUntil());
  EXPECT_TRUE(monitor.got.ends_with("\r\n --- MONO RSSI: 07\r\n"));
  EXPECT_FALSE(fs::exists(fs::symlink_status("receiver")));

  EXPECT_EQ(readFile("recording.txt"), monitor.got);
  const QJsonObject dump = replay({"recording.txt"}).last();
  EXPECT_EQ(dump["decoded"].toInteger(), std::ranges::count(monitor.got, '>') / 3);
  EXPECT_EQ(shown(dump, "lblPS"), "DALE FM ");
}

TEST_F(SimulatorTest, GroupsFileOnceOverALeftoverLink) {
  const Programme p{.pi = 0x1234};
  const std::string lines[] = {groupLine(basicTuningGroup(p, {}, 0, "ABCDEFGH", 0xE0CD)),
                               groupLine(radioTextGroup(p, false, 0, "ABCD")),
                               groupLine(basicTuningGroup(p, {}, 1, "ABCDEFGH", 0xE0CD))};
  // A blank line and a line ended by LF alone: group lines with CR LF all the same.
  writeFile("three.groups", lines[0] + "\r\n" + lines[1].substr(0, 25) + "\n" + lines[2]);
  fs::create_symlink("/dev/null", "receiver");  // left over from an earlier run
  ChildProcess sim({SIM_BINARY, "--groups", "three.groups", "--once", "--flood", "receiver"});
  std::error_code error;
  ASSERT_TRUE(
      eventually([&] { return fs::read_symlink("receiver", error).string().starts_with("/dev/pts/"); }));
  Terminal monitor;
  monitor.send("f9000\r\n");
  ASSERT_TRUE(monitor.readUntil([&] { return monitor.got.ends_with(lines[2]); }));
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_TRUE(monitor.readUntil());
  EXPECT_EQ(monitor.got, lines[0] + lines[1] + lines[2]);
}

TEST_F(SimulatorTest, CommandLine) {
  writeFile("taken", "not a link");
  // clang-format off
  const std::tuple<std::vector<std::string>, int, std::string> runs[] = {
      {{"--help"}, 0, "Usage: tallowmere-sim"}, {{"--once"}, 2, "--once goes with --groups"},
      {{"--groups"}, 2, "--groups needs a file name"}, {{"-f"}, 2, "unexpected argument '-f'"},
      {{"a", "b"}, 2, "unexpected argument 'b'"}, {{"--groups", "none"}, 1, "none: No such file or directory"},
      {{"taken"}, 1, "taken exists and is not a symbolic link"}};
  // clang-format on
  for (auto [arguments, status, says] : runs) {
    arguments.insert(arguments.begin(), SIM_BINARY);
    const RunResult run = runToEnd(arguments);
    EXPECT_EQ(run.status, status) << says;
    EXPECT_NE((run.out + run.err).find(says), std::string::npos) << run.out << run.err;
  }
  EXPECT_EQ(readFile("taken"), "not a link");
}

}  // namespace
}  // namespace tallowmere::test
