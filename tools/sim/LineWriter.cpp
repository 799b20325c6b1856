#include "tools/sim/LineWriter.h"

#include <unistd.h>

#include <cerrno>

namespace tallowmere {
namespace {

void writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

}  // namespace

bool LineWriter::flush() {
  while (!pending_.empty()) {
    const ssize_t n = ::write(device_, pending_.data(), pending_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
    if (record_ >= 0) writeAll(record_, pending_.data(), static_cast<std::size_t>(n));
    pending_.erase(0, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace tallowmere
