#include "platform/DeviceProblem.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallowmere {
namespace {

std::string groupName(gid_t gid) {
  if (const group* g = ::getgrgid(gid)) return g->gr_name;
  return std::to_string(gid);
}

std::string userName() {
  if (const passwd* p = ::getpwuid(::getuid())) return p->pw_name;
  return "$USER";
}

}  // namespace

std::string describeOpenFailure(const std::string& device, bool openFailedForPermission,
                                const std::string& libraryReason) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) {
    if (errno == ENOENT) return kDeviceMissing;
    return std::string("cannot be reached (") + std::strerror(errno) + ")";
  }
  if (!S_ISCHR(info.st_mode)) return "is not a serial device";
  if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
    const std::string group = groupName(info.st_gid);
    return "permission denied: the device belongs to group " + group +
           "; add yourself with \"sudo usermod -aG " + group + " " + userName() +
           "\", then log out and in again";
  }
  if (openFailedForPermission) return "is busy: another program has it open";
  return "cannot be opened (" + libraryReason + ")";
}

}  // namespace tallowmere
