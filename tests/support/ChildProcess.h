#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tallowmere::test {

// A program the test starts in the current folder, on the offscreen platform, with its
// stdout on a pipe the test reads and its stderr in a file; stopped with SIGTERM when the
// object goes.
class ChildProcess {
 public:
  explicit ChildProcess(std::vector<std::string> command);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // What the program wrote to stdout since the last call, waiting at most `waitMs` for it.
  std::string output(int waitMs = 0);
  std::string errors() const;  // its stderr so far
  // Stops the program (SIGTERM) if it still runs; its exit status, or 128 + the signal.
  int stop();
  bool running() const;
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  std::string stderrFile_;
  int status_ = -1;
};

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};
// Runs a program to its end in the current folder.
RunResult runToEnd(std::vector<std::string> command);

// The command run as the unprivileged user nobody when the tests run as root, where every
// permission check would pass; the program is copied into the current folder first, so
// that a build folder nobody may enter does not matter.
std::vector<std::string> unprivileged(std::vector<std::string> command);
// Runs `body` in a child process as nobody (as it is when not root); returns its result.
int runUnprivileged(const std::function<int()>& body);

// Waits until `condition` holds, for at most `limit`: generous, the machine may be busy.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

}  // namespace tallowmere::test
