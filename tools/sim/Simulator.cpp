#include "tools/sim/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/sim/CommandLines.h"
#include "tools/sim/DeviceLink.h"
#include "tools/sim/GroupFile.h"
#include "tools/sim/HostClock.h"
#include "tools/sim/LineWriter.h"
#include "tools/sim/Pacer.h"
#include "tools/sim/PseudoTerminal.h"
#include "tools/sim/Receiver.h"
#include "tools/sim/StopSignal.h"

namespace tallowmere {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long to wait between looks while nobody has the device open, and at most in one
// poll, so a stop request is seen promptly.
constexpr int kIdleMs = 100;
// How long a stopping simulator waits for the device to take the rest of its last line.
constexpr auto kLastLineGrace = milliseconds(300);

int fail(const std::string& problem) {
  std::fprintf(stderr, "tallowmere-sim: %s\n", problem.c_str());
  return 1;
}

int writeStamps(const std::string& path, const std::vector<std::int64_t>& stamps) {
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (out == nullptr) return fail(path + ": " + std::strerror(errno));
  for (const std::int64_t ns : stamps) std::fprintf(out, "%lld\n", static_cast<long long>(ns));
  if (std::fclose(out) != 0) return fail(path + ": " + std::strerror(errno));
  return 0;
}

class Session {
 public:
  Session(const PseudoTerminal& pty, Receiver& receiver, LineWriter& writer, bool flood)
      : pty_(pty), receiver_(receiver), writer_(writer), pacer_(flood) {}

  void run() {
    while (!stopRequested()) step();
    finishLastLine();
  }

 private:
  void step() {
    pollfd p{pty_.fd(), static_cast<short>(POLLIN | (writer_.idle() ? 0 : POLLOUT)), 0};
    if (::poll(&p, 1, timeoutMs()) < 0) return;  // interrupted: look at the stop flag
    if ((p.revents & POLLHUP) != 0) {
      waitForOpener();
      return;
    }
    hungUp_ = false;
    if ((p.revents & POLLIN) != 0) readCommands();
    sendGroupIfDue();
    writer_.flush();
  }

  // A device that is full is waited on, not polled in a loop.
  int timeoutMs() const {
    if (!receiver_.sendingGroups() || !writer_.idle()) return kIdleMs;
    const auto wait = std::chrono::ceil<milliseconds>(pacer_.due() - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait, 0, kIdleMs));
  }

  // Nobody has the device open: what was queued for the last reader is dropped once,
  // then the simulator sleeps between looks instead of spinning on the hang-up.
  void waitForOpener() {
    if (!hungUp_) {
      writer_.discard();
      pty_.discardUnread();
      commands_.clear();
      hungUp_ = true;
    }
    ::poll(nullptr, 0, kIdleMs);
  }

  void readCommands() {
    char buffer[512];
    const ssize_t n = ::read(pty_.fd(), buffer, sizeof buffer);
    if (n <= 0) return;
    commands_.feed(std::string_view(buffer, static_cast<std::size_t>(n)), [this](std::string_view line) {
      const std::string answer = receiver_.command(line, Clock::now());
      writer_.send(answer);
      pacer_.answerSent(answer.size());
    });
  }

  // While the device is full no group is made; the next goes out once it has room.
  void sendGroupIfDue() {
    const Clock::time_point now = Clock::now();
    if (!receiver_.sendingGroups() || !writer_.idle() || now < pacer_.due()) return;
    const std::optional<std::string> line = receiver_.nextGroupLine(now, hostClock());
    if (!line) return;
    writer_.send(*line);
    pacer_.groupSent(line->size(), now);
  }

  // A recording that ends in the middle of a line would replay as one odd group.
  void finishLastLine() {
    const Clock::time_point until = Clock::now() + kLastLineGrace;
    while (!writer_.idle() && Clock::now() < until) {
      pollfd p{pty_.fd(), POLLOUT, 0};
      if (::poll(&p, 1, kIdleMs) > 0 && (p.revents & POLLHUP) != 0) return;
      if (!writer_.flush()) return;
    }
  }

  const PseudoTerminal& pty_;
  Receiver& receiver_;
  LineWriter& writer_;
  Pacer pacer_;
  CommandLines commands_;
  bool hungUp_ = false;
};

}  // namespace

int runSimulator(const Options& options) {
  std::vector<std::string> fileLines;
  if (!options.groupsFile.empty()) {
    const std::string problem = readGroupFile(options.groupsFile, fileLines);
    if (!problem.empty()) return fail(problem);
  }
  catchStopSignals();
  PseudoTerminal pty;
  if (const std::string problem = pty.open(); !problem.empty()) return fail(problem);
  DeviceLink link;
  if (const std::string problem = link.create(options.link, pty.device()); !problem.empty()) {
    return fail(problem);
  }
  int record = -1;
  if (!options.recordFile.empty()) {
    record = ::open(options.recordFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (record < 0) return fail(options.recordFile + ": " + std::strerror(errno));
  }
  std::printf("%s -> %s\n", options.link.c_str(), pty.device().c_str());
  std::fflush(stdout);
  Receiver receiver(options.groupsFile.empty() ? nullptr : &fileLines, options.once);
  LineWriter writer(pty.fd(), record);
  std::vector<std::int64_t> stamps;
  if (!options.stampsFile.empty()) writer.stampLineEnds(&stamps);
  Session(pty, receiver, writer, options.flood).run();
  if (record >= 0) ::close(record);
  return options.stampsFile.empty() ? 0 : writeStamps(options.stampsFile, stamps);
}

}  // namespace tallowmere
