#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere::test {

// A program the test starts in the current folder, with its stdout on a pipe the test
// reads and its stderr in a file there; stopped with SIGTERM when the object goes.
// QT_QPA_PLATFORM is offscreen, so a Qt program runs without a display.
class ChildProcess {
 public:
  explicit ChildProcess(std::vector<std::string> command);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  bool running() const;
  // What the program wrote to stdout since the last call, waiting at most `wait` for it.
  std::string output(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  // What the program has written to stderr so far.
  std::string errors() const;
  // Sends SIGTERM and waits for the end; the exit status, or 128 + the signal.
  int stop();

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  std::string stderrFile_;
  int status_ = -1;
};

// Runs a program to its end in the current folder.
struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};
RunResult runToEnd(std::vector<std::string> command);

// The command run as the unprivileged user nobody when the tests run as root, where
// every permission check would pass. The program is copied into the current folder
// first, so that a build folder nobody may enter does not matter.
std::vector<std::string> unprivileged(std::vector<std::string> command);
// Runs `body` in a child process as nobody (as it is when not root); its result is the
// child's exit status.
int runUnprivileged(const std::function<int()>& body);

// Waits until `condition` holds, for at most `limit`; generous, since the machine may be
// busy with builds.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

}  // namespace tallowmere::test
