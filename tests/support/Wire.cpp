#include "tests/support/Wire.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace tallowmere::test {

using namespace std::chrono_literals;

std::vector<Command> commandsFor(const PseudoTerminal& pty, Clock::time_point start,
                                 std::chrono::milliseconds duration, const std::string& flood) {
  // 11,520 bytes a second, written in slices of 20 ms.
  constexpr std::size_t kSlice = 11520 / 50;
  std::vector<Command> commands;
  std::string pending;
  std::size_t next = 0;
  const auto end = Clock::now() + duration;
  while (Clock::now() < end) {
    if (!flood.empty()) {
      std::string slice;
      while (slice.size() < kSlice) {
        const std::size_t n = std::min(kSlice - slice.size(), flood.size() - next);
        slice.append(flood, next, n);
        next = (next + n) % flood.size();
      }
      pty.write(slice);
    }
    pending += pty.read(20ms);
    for (std::size_t lf; (lf = pending.find('\n')) != std::string::npos;) {
      const double at = std::chrono::duration<double>(Clock::now() - start).count();
      commands.push_back({at, pending.substr(0, lf + 1)});
      pending.erase(0, lf + 1);
    }
  }
  return commands;
}

std::vector<Command> matching(const std::vector<Command>& commands, const std::string& line) {
  std::vector<Command> found;
  for (const Command& c : commands) {
    if (c.line == line) found.push_back(c);
  }
  return found;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

double cpuSeconds(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  // The fields after the command name, which may hold blanks, in parentheses.
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string skip;
  for (int i = 0; i < 11; ++i) fields >> skip;
  long user = 0;
  long system = 0;
  fields >> user >> system;
  return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long residentKb(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

}  // namespace tallowmere::test
