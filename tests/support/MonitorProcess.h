#pragma once

#include <sys/types.h>

#include <string>

namespace tallowmere::test {

// The real monitor program as a user starts it, in the current folder, on the offscreen
// platform; its stderr goes to stderr.txt there. Stopped when the object goes.
class MonitorProcess {
 public:
  MonitorProcess();
  ~MonitorProcess();
  MonitorProcess(const MonitorProcess&) = delete;
  MonitorProcess& operator=(const MonitorProcess&) = delete;

  bool running() const;
  // What the monitor has written to stderr so far.
  static std::string errors();

 private:
  pid_t pid_;
};

}  // namespace tallowmere::test
