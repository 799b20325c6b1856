#include "tools/sim/PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallowmere {
namespace {

std::string failed(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PseudoTerminal::~PseudoTerminal() {
  if (master_ >= 0) ::close(master_);
}

std::string PseudoTerminal::open() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) return failed("posix_openpt");
  if (::grantpt(master_) != 0) return failed("grantpt");
  if (::unlockpt(master_) != 0) return failed("unlockpt");
  const char* name = ::ptsname(master_);
  if (name == nullptr) return failed("ptsname");
  device_ = name;
  if (::fcntl(master_, F_SETFL, O_NONBLOCK) != 0 || ::fcntl(master_, F_SETFD, FD_CLOEXEC) != 0) {
    return failed("fcntl");
  }
  // The settings belong to the device and outlive this open, so later openers find it
  // raw too.
  const int device = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (device < 0) return failed(name);
  termios settings{};
  std::string problem;
  if (::tcgetattr(device, &settings) != 0) {
    problem = failed("tcgetattr");
  } else {
    ::cfmakeraw(&settings);
    if (::tcsetattr(device, TCSANOW, &settings) != 0) problem = failed("tcsetattr");
  }
  ::close(device);
  return problem;
}

void PseudoTerminal::discardUnread() const {
  const int device = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (device < 0) return;
  ::tcflush(device, TCIFLUSH);
  ::close(device);
}

}  // namespace tallowmere
