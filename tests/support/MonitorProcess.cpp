#include "tests/support/MonitorProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tallowmere::test {

MonitorProcess::MonitorProcess(std::vector<std::string> command) : pid_(::fork()) {
  if (pid_ != 0) return;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int err = ::open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(err, STDERR_FILENO);
  std::vector<char*> argv;
  for (std::string& arg : command) argv.push_back(arg.data());
  argv.push_back(nullptr);
  ::execvp(argv[0], argv.data());
  ::_exit(127);
}

std::vector<std::string> MonitorProcess::unprivileged() {
  std::filesystem::copy_file(MONITOR_BINARY, "tallowmere", std::filesystem::copy_options::overwrite_existing);
  if (::geteuid() != 0) return {"./tallowmere"};
  return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "./tallowmere"};
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
