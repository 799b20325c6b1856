// tallowmere-sim run as a process and driven over its pseudo-terminal, as the monitor
// drives it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous: the machine may be busy with other builds.
constexpr auto kPatience = 10s;

int msUntil(Clock::time_point until) {
  return static_cast<int>(std::max<long long>(
      0, std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count()));
}

// The simulator with its stdout on a pipe; stopped with SIGTERM.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      args.insert(args.begin(), SIM_BINARY);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(SIM_BINARY, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    stdout_ = out[0];
  }
  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0) ::close(stdout_);
  }

  // The first line the simulator prints, or what it printed before it ended.
  std::string firstLine() {
    std::string line;
    const Clock::time_point until = Clock::now() + kPatience;
    char c;
    while (line.find('\n') == std::string::npos) {
      pollfd p{stdout_, POLLIN, 0};
      if (::poll(&p, 1, msUntil(until)) <= 0 || ::read(stdout_, &c, 1) != 1) break;
      line.push_back(c);
    }
    return line;
  }

  // The exit status after SIGTERM, or -1 when it did not end normally.
  int stop() {
    ::kill(pid_, SIGTERM);
    return wait();
  }
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
};

// The monitor's end of the pseudo-terminal, raw like a serial port.
class Terminal {
 public:
  explicit Terminal(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
    termios t{};
    if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(fd_, TCSANOW, &t);
    }
  }
  ~Terminal() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool opened() const { return fd_ >= 0; }

  void send(const std::string& text) { ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size())); }

  // Everything that arrives until the other side goes away or the time is up.
  std::string readFor(std::chrono::milliseconds time) {
    std::string got;
    const Clock::time_point until = Clock::now() + time;
    while (Clock::now() < until && readSome(got, until)) {
    }
    return got;
  }
  // Lines until one starts with prefix (that line included), or the patience runs out.
  std::vector<std::string> linesUntil(const std::string& prefix) {
    std::vector<std::string> lines;
    const Clock::time_point until = Clock::now() + kPatience;
    while (Clock::now() < until) {
      const std::size_t end = buffer_.find("\r\n");
      if (end == std::string::npos) {
        if (!readSome(buffer_, until)) break;
        continue;
      }
      lines.push_back(buffer_.substr(0, end + 2));
      buffer_.erase(0, end + 2);
      if (lines.back().starts_with(prefix)) break;
    }
    return lines;
  }

 private:
  bool readSome(std::string& into, Clock::time_point until) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, msUntil(until)) <= 0) return true;
    char chunk[4096];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n <= 0) return false;
    into.append(chunk, static_cast<std::size_t>(n));
    return true;
  }

  int fd_;
  std::string buffer_;
};

bool allStartWith(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& l : lines) {
    if (!l.starts_with(prefix)) return false;
  }
  return !lines.empty();
}

using SimulatorTest = InWorkingFolder;

TEST_F(SimulatorTest, AnswersCommandsLikeAReceiver) {
  SimProcess sim({"receiver"});
  ASSERT_TRUE(sim.firstLine().starts_with("receiver -> /dev/pts/"));
  {
    Terminal monitor("receiver");
    ASSERT_TRUE(monitor.opened());
    monitor.send("i\r\n");
    EXPECT_EQ(monitor.linesUntil(" "), (std::vector<std::string>{" --- MONO RSSI: 07\r\n"}));
    EXPECT_EQ(monitor.readFor(500ms), "") << "nothing before the first tuning command";

    // The volume command has no answer: the first line is already a group.
    monitor.send("v8\r\nf10450\r\n");
    std::vector<std::string> lines = monitor.linesUntil(">>> C7F3:0");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(allStartWith(lines, ">>> C7F3:")) << lines.front();
    monitor.send("i\n");
    lines = monitor.linesUntil(" ");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex(" RDS STEREO RSSI: (4[4-9]|50)\r\n"))) << lines.back();

    // A frequency without a station: silence after the answer to what came before it.
    monitor.send("f9000\ri\r\n");
    lines = monitor.linesUntil(" ");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), " --- MONO RSSI: 07\r\n");
    EXPECT_EQ(monitor.readFor(500ms), "");
    monitor.send("f8880\r\n");
    EXPECT_FALSE(monitor.linesUntil(">>> C4B2:").empty());
    std::this_thread::sleep_for(800ms);  // some ten groups that nobody reads
  }
  // The monitor closed the device and opens it again: the simulator is still there, and
  // the groups left unread were dropped rather than handed to the new reader. The answer
  // comes before any new group or right after one or two.
  std::this_thread::sleep_for(500ms);
  Terminal reopened("receiver");
  ASSERT_TRUE(reopened.opened());
  reopened.send("i\r\n");
  const std::vector<std::string> lines = reopened.linesUntil(" RDS");
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().starts_with(" RDS STEREO RSSI: ")) << lines.back();
  EXPECT_LE(lines.size(), 3u);
  EXPECT_EQ(sim.stop(), 0);
  EXPECT_FALSE(std::filesystem::is_symlink("receiver"));
}

TEST_F(SimulatorTest, FloodRecordingReplaysCompletely) {
  writeIni("[Tallowmere]\nCOMport=1\nFrequency=88.8\n");
  SimProcess sim({"--record", "recording.txt", "--flood", "receiver"});
  ASSERT_FALSE(sim.firstLine().empty());
  Terminal monitor("receiver");
  ASSERT_TRUE(monitor.opened());
  monitor.send("f8880\r\n");
  std::string received = monitor.readFor(3s);
  const int status = sim.stop();
  received += monitor.readFor(1s);  // ends when the simulator closes its side
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(std::filesystem::is_symlink("receiver"));

  const std::string recording = readFile("recording.txt");
  EXPECT_EQ(recording, received) << "the recording holds exactly what was sent";
  const std::regex groupLine(">>> [0-9A-F]{4}:[0-9A-F]{4}:[0-9A-F]{4}:[0-9A-F]{4}<\r");
  long groups = 0;
  std::size_t start = 0;
  for (std::size_t lf; (lf = recording.find('\n', start)) != std::string::npos; start = lf + 1) {
    const std::string line = recording.substr(start, lf - start);
    EXPECT_TRUE(std::regex_match(line, groupLine)) << line;
    ++groups;
  }
  EXPECT_EQ(start, recording.size()) << "the last line is complete";
  EXPECT_GT(groups, 300);

  const ReplayOutcome out = replayTranscript(REPLAY_BINARY, "recording.txt");
  ASSERT_EQ(out.status, 0) << out.err;
  EXPECT_EQ(out.decoded(), groups);
  EXPECT_EQ(out.text("lblPS"), "DALE FM ");
  EXPECT_EQ(out.text("lblPI"), "C4B2");
}

TEST_F(SimulatorTest, GroupsFileAndLinkRules) {
  writeFile("three.groups", ">>> 1234:0408:E0CD:4142<\r\n\r\n>>> 1234:0409:E0CD:4344<\n>>> 1234:2400:4142:4344<\r\n");
  std::filesystem::create_symlink("/dev/null", "receiver");  // left over from an earlier run
  SimProcess sim({"--groups", "three.groups", "--once", "receiver"});
  ASSERT_FALSE(sim.firstLine().empty());
  EXPECT_NE(std::filesystem::read_symlink("receiver"), "/dev/null");

  // Every line of the file once, with CR LF, on whatever frequency; then silence.
  Terminal monitor("receiver");
  monitor.send("f9000\r\n");
  EXPECT_EQ(monitor.linesUntil(">>> 1234:24"),
            (std::vector<std::string>{">>> 1234:0408:E0CD:4142<\r\n", ">>> 1234:0409:E0CD:4344<\r\n",
                                      ">>> 1234:2400:4142:4344<\r\n"}));
  EXPECT_EQ(monitor.readFor(500ms), "");

  // A second simulator does not take over a regular file.
  writeFile("taken", "not a link");
  SimProcess refused({"taken"});
  EXPECT_EQ(refused.wait(), 1);
  EXPECT_EQ(readFile("taken"), "not a link");
  EXPECT_EQ(sim.stop(), 0);
}

}  // namespace
}  // namespace tallowmere::test
