#include "tests/support/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>

#include <cstdlib>
#include <stdexcept>

namespace tallowmere::test {

PseudoTerminal::PseudoTerminal(const std::filesystem::path& link, std::filesystem::perms access) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
    throw std::runtime_error("cannot create a pseudo-terminal");
  slavePath_ = ::ptsname(master_);
  // The slave held open keeps the raw settings and takes lines while the monitor is away.
  slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios settings{};
  ::tcgetattr(slave_, &settings);
  ::cfmakeraw(&settings);
  ::tcsetattr(slave_, TCSANOW, &settings);
  std::filesystem::permissions(slavePath_, access);
  std::filesystem::remove(link);
  std::filesystem::create_symlink(slavePath_, link);
}

void PseudoTerminal::write(std::string_view bytes) const {
  for (pollfd p{master_, POLLOUT, 0}; !bytes.empty(); ::poll(&p, 1, 100)) {
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string PseudoTerminal::read(std::chrono::milliseconds wait) const {
  std::string out;
  pollfd p{master_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return out;
  char buffer[4096];
  for (ssize_t n; (n = ::read(master_, buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<std::size_t>(n));
  return out;
}

}  // namespace tallowmere::test
