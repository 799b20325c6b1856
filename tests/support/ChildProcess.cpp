#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace tallowmere::test {
namespace {

constexpr uid_t kNobody = 65534;

int exitStatus(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> command) {
  static int started = 0;
  stderrFile_ = "stderr-" + std::to_string(::getpid()) + "-" + std::to_string(started++) + ".txt";
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(::open(stderrFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    std::vector<char*> argv;
    for (std::string& arg : command) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  stdout_ = out[0];
}

ChildProcess::~ChildProcess() {
  stop();
  ::close(stdout_);
}

// Looks without reaping, so that stop() still collects the exit status.
bool ChildProcess::running() const {
  siginfo_t info{};
  return status_ < 0 && ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == 0;
}

std::string ChildProcess::output(int waitMs) {
  std::string text;
  pollfd p{stdout_, POLLIN, 0};
  char buffer[4096];
  for (ssize_t n = 0; ::poll(&p, 1, text.empty() ? waitMs : 0) > 0;
       text.append(buffer, static_cast<std::size_t>(n))) {
    if ((n = ::read(stdout_, buffer, sizeof buffer)) <= 0) break;
  }
  return text;
}

std::string ChildProcess::errors() const {
  std::ifstream in(stderrFile_);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

int ChildProcess::stop() {
  if (status_ >= 0 || pid_ <= 0) return status_;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  return status_ = exitStatus(status);
}

RunResult runToEnd(std::vector<std::string> command) {
  RunResult result;
  ChildProcess child(std::move(command));
  while (child.running()) result.out += child.output(100);
  result.out += child.output();
  result.status = child.stop();
  result.err = child.errors();
  return result;
}

std::vector<std::string> unprivileged(std::vector<std::string> command) {
  const std::filesystem::path program(command.front());
  if (program.has_parent_path()) {
    std::filesystem::copy_file(program, program.filename(),
                               std::filesystem::copy_options::overwrite_existing);
    command.front() = "./" + program.filename().string();
  }
  if (::geteuid() == 0)
    command.insert(command.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  return command;
}

int runUnprivileged(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(126);
    }
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return exitStatus(status);
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace tallowmere::test
