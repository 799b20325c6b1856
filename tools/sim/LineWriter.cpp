#include "tools/sim/LineWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

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

void LineWriter::stamp(std::string_view written) {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  stamps_->insert(stamps_->end(), static_cast<std::size_t>(std::ranges::count(written, '\n')), ns);
}

bool LineWriter::flush() {
  while (!pending_.empty()) {
    const ssize_t n = ::write(device_, pending_.data(), pending_.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
    if (record_ >= 0) writeAll(record_, pending_.data(), static_cast<std::size_t>(n));
    if (stamps_ != nullptr) stamp(std::string_view(pending_).substr(0, static_cast<std::size_t>(n)));
    pending_.erase(0, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace tallowmere
