#include "output/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;

// The file a name stands for once every symbolic link on the way is followed; the target
// of a dangling link is where the new file goes.
fs::path resolveLinks(fs::path path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return path;
    target.resize(static_cast<std::size_t>(n));
    const fs::path next(target);
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Writes the content beside the target under a hidden name and renames it over the
// target. Returns 0, or the errno of the step that failed.
int replaceFile(const fs::path& target, std::string_view content) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  static unsigned counter = 0;
  std::string prefix = target.filename().string();
  prefix.insert(prefix.begin(), '.');
  prefix += ".tmp-" + std::to_string(::getpid()) + "-";
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = folder / (prefix + std::to_string(counter++));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;

  int error = 0;
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) error = errno;
  }
  if (error == 0 && !writeAll(fd, content)) error = errno;
  if (error == 0 && ::fdatasync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string folder) : folder_(std::move(folder)) {}

bool AtomicFileWriter::replace(std::string_view name, std::string_view content) {
  const fs::path target = resolveLinks(fs::path(folder_) / name);
  const int error = replaceFile(target, content);
  auto shown = [&target] {
    std::error_code ec;
    return fs::absolute(target, ec).lexically_normal().string();
  };
  const auto failing = failing_.find(name);
  if (error != 0) {
    if (failing == failing_.end()) {
      reportProblem("cannot write " + shown() + " (" + std::strerror(error) +
                    "); it is written again with the next update");
      failing_.emplace(name);
    }
    return false;
  }
  if (failing != failing_.end()) {
    reportProblem("writing " + shown() + " works again");
    failing_.erase(failing);
  }
  return true;
}

}  // namespace tallowmere
