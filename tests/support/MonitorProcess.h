#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tallowmere::test {

// The real monitor program as a user starts it, in the current folder, on the offscreen
// platform; its stderr goes to stderr.txt there. Stopped when the object goes.
class MonitorProcess {
 public:
  // `command` starts the monitor; by default the built program itself.
  explicit MonitorProcess(std::vector<std::string> command = {MONITOR_BINARY});
  // The command that runs a copy of the monitor in the current folder as an unprivileged
  // user, where root would pass every permission check; the folder must let that user in.
  static std::vector<std::string> unprivileged();
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  bool running() const;
  pid_t pid() const { return pid_; }
  // What the monitor has written to stderr so far.
  static std::string errors();

 private:
  pid_t pid_;
};

}  // namespace tallowmere::test
