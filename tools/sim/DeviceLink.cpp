#include "tools/sim/DeviceLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallowmere {

std::string DeviceLink::create(const std::string& path, const std::string& target) {
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0) {
    if (!S_ISLNK(existing.st_mode)) return path + " exists and is not a symbolic link";
    if (::unlink(path.c_str()) != 0) return path + ": " + std::strerror(errno);
  }
  if (::symlink(target.c_str(), path.c_str()) != 0) return path + ": " + std::strerror(errno);
  path_ = path;
  target_ = target;
  return {};
}

// Only a link that still points at this simulator's device is removed: another
// simulator may have taken the path over since.
DeviceLink::~DeviceLink() {
  if (path_.empty()) return;
  char buffer[4096];
  const ssize_t n = ::readlink(path_.c_str(), buffer, sizeof buffer);
  if (n >= 0 && std::string(buffer, static_cast<std::size_t>(n)) == target_) ::unlink(path_.c_str());
}

}  // namespace tallowmere
