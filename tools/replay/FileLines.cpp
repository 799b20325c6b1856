#include "tools/replay/FileLines.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallowmere {
namespace {

constexpr std::size_t kBlockSize = 1 << 16;

}  // namespace

FileLines::FileLines(const char* path) {
  fd_ = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) problem_ = std::strerror(errno);
}

FileLines::~FileLines() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileLines::fill() {
  buffer_.erase(0, start_);
  start_ = 0;
  const std::size_t old = buffer_.size();
  buffer_.resize(old + kBlockSize);
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.data() + old, kBlockSize);
  } while (n < 0 && errno == EINTR);
  if (n < 0) problem_ = std::strerror(errno);
  buffer_.resize(old + static_cast<std::size_t>(n > 0 ? n : 0));
  atEnd_ = n <= 0;
  return n > 0;
}

bool FileLines::next(std::string_view& line) {
  if (fd_ < 0) return false;
  for (;;) {
    const std::size_t lf = buffer_.find('\n', start_);
    if (lf != std::string::npos) {
      line = std::string_view(buffer_).substr(start_, lf + 1 - start_);
      start_ = lf + 1;
      return true;
    }
    if (atEnd_ || !fill()) {
      if (start_ >= buffer_.size()) return false;
      line = std::string_view(buffer_).substr(start_);
      start_ = buffer_.size();
      return true;
    }
  }
}

}  // namespace tallowmere
