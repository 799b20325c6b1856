#include "output/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

// The process holding an flock on this file, as /proc/locks lists it
// ("1: FLOCK  ADVISORY  WRITE 4242 00:2d:1234 0 EOF": the device's major and minor number
// in hexadecimal, then the inode; a waiter's line has "->" before FLOCK); 0 when none is
// listed (the holder lives in another PID namespace, or /proc is not there).
long lockHolder(const struct stat& file) {
  std::ifstream locks("/proc/locks");
  std::string line;
  while (std::getline(locks, line)) {
    std::array<char, 16> kind{};
    long pid = 0;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(line.c_str(), "%*d: %15s %*s %*s %ld %x:%x:%llu", kind.data(), &pid, &major, &minor,
                    &inode) == 5 &&
        std::string_view(kind.data()) == "FLOCK" && major == ::major(file.st_dev) &&
        minor == ::minor(file.st_dev) && inode == file.st_ino) {
      return pid;
    }
  }
  return 0;
}

}  // namespace

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::take() {
  std::error_code noPath;
  const std::string folder = std::filesystem::current_path(noPath).string();
  fd_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
  if (fd_ < 0 || errno != EWOULDBLOCK) {
    reportProblem(folder + ": cannot be locked (" + std::strerror(errno) +
                  "); a second monitor started here would not be stopped");
    return true;
  }
  struct stat file {};
  ::fstat(fd_, &file);
  const long holder = lockHolder(file);
  reportProblem(folder + " is in use by " +
                (holder > 0 ? "process " + std::to_string(holder) : "another process"));
  return false;
}

}  // namespace tallowmere
