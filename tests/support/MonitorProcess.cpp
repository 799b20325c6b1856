#include "tests/support/MonitorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tallowmere::test {

MonitorProcess::MonitorProcess() : pid_(::fork()) {
  if (pid_ != 0) return;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int err = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(err, STDERR_FILENO);
  ::execl(MONITOR_BINARY, MONITOR_BINARY, static_cast<char*>(nullptr));
  ::_exit(127);
}

MonitorProcess::~MonitorProcess() {
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

bool MonitorProcess::running() const {
  return ::waitpid(pid_, nullptr, WNOHANG) == 0;
}

std::string MonitorProcess::errors() {
  std::ifstream in("stderr.txt");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tallowmere::test
