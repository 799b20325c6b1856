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

namespace fs = std::filesystem;
using SimulatorTest = InWorkingFolder;

// The monitor's end of the device (the simulator makes it raw); keeps all it has read.
struct Terminal {
  int fd = ::open("receiver", O_RDWR | O_NOCTTY | O_NONBLOCK);
  std::string got;

  ~Terminal() { ::close(fd); }
  void send(const std::string& s) { EXPECT_EQ(::write(fd, s.data(), s.size()), std::ssize(s)); }
  // Reads until `done` holds, or without until the simulator has closed its side.
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
  std::string said;  // 'LINK -> DEVICE' once it is ready
  ASSERT_TRUE(eventually([&] { return (said += sim.output()).starts_with("receiver -> /dev/pts/"); }));
  Terminal monitor;
  monitor.send("i\r\n");  // before the first tuning command, the answer and nothing else
  ASSERT_TRUE(monitor.readUntil([&] { return monitor.got == " --- MONO RSSI: 07\r\n"; })) << monitor.got;
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
  const std::string first = groupLine(basicTuningGroup({.pi = 0x1234}, {}, 0, "ABCDEFGH", 0xE0CD)),
                    last = groupLine(radioTextGroup({.pi = 0x1234}, false, 0, "ABCD"));
  // A blank line and a line ended by LF alone: group lines with CR LF all the same.
  writeFile("two.groups", first + "\r\n" + last.substr(0, 25) + "\n");
  fs::create_symlink("/dev/null", "receiver");  // left over from an earlier run
  ChildProcess sim({SIM_BINARY, "--groups", "two.groups", "--once", "--flood", "receiver"});
  std::string said;  // 'LINK -> DEVICE' once the link is replaced
  ASSERT_TRUE(eventually([&] { return (said += sim.output()).ends_with('\n'); }));
  Terminal monitor;
  monitor.send("f9000\r\n");
  ASSERT_TRUE(monitor.readUntil([&] { return monitor.got.ends_with(last); }));
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_TRUE(monitor.readUntil());
  EXPECT_EQ(monitor.got, first + last);
}

// What each tool accepts and refuses on its command line, and says about it.
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
      {{sim, "taken"}, 1, "taken exists and is not a symbolic link"},
      {{replay, "--help"}, 0, "Usage: tallowmere-replay"}, {{replay}, 2, "Usage: tallowmere-replay"},
      {{replay, "a", "b"}, 2, "unexpected argument 'b'"}, {{replay, "--scrip", "a"}, 2, "argument '--scrip'"},
      {{replay, "none"}, 2, "cannot read none: No such file"}, {{replay, "."}, 2, "cannot read .: Is a dir"},
      {{replay, "--script", "bad.jsonl"}, 2, "bad.jsonl:2:"},
      {{replay, "--script", "wide.jsonl"}, 2, "wide.jsonl:1:"}};
  // clang-format on
  for (const auto& [command, status, says] : runs) {
    const RunResult run = runToEnd(command);
    EXPECT_EQ(run.status, status) << says;
    EXPECT_NE((run.out + run.err).find(says), std::string::npos) << run.out << run.err;
  }
  EXPECT_EQ(readFile("taken"), "not a link");
}

}  // namespace
}  // namespace tallowmere::test
