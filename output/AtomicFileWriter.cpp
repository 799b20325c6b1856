#include "output/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path next = fs::read_symlink(path, ec);
    if (ec) return path;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

// Writes all of the content; 0, or the errno of the write that failed.
int writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // a device taking nothing would otherwise be asked forever
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// How a write went: 0 or the errno of the step that failed; and, when the file could not
// be replaced by a new one, why not (so it is written in place).
struct Outcome {
  int error = 0;
  std::string inPlaceBecause;
};

Outcome failed(const char* step, int error) {
  return {error, std::string(step) + " (" + std::strerror(error) + ")"};
}

// A new file under a hidden name beside the target, or -1 with errno set.
int createBeside(const fs::path& target, fs::path& temp) {
  static std::atomic<unsigned> counter = 0;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // Built in steps: "." + name + ... trips GCC 12's false -Wrestrict warning in release builds.
  std::string prefix = target.filename().string();
  prefix.insert(prefix.begin(), '.');
  prefix += ".tmp-" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = folder / (prefix + std::to_string(counter++));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Gives the new file the old one's owner, group and permission bits (owner first, as a
// change of owner clears the set-id bits), then the content, flushed to disk.
Outcome fillNewFile(int fd, const struct stat* old, std::string_view content) {
  if (old != nullptr) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return failed("a new file cannot be examined", errno);
    if ((now.st_uid != old->st_uid || now.st_gid != old->st_gid) &&
        ::fchown(fd, old->st_uid, old->st_gid) != 0) {
      return failed("a new file cannot get its owner and group", errno);
    }
    if (::fchmod(fd, old->st_mode & 07777) != 0) return failed("a new file cannot get its mode", errno);
  }
  if (const int error = writeAll(fd, content)) return failed("a new file cannot be written", error);
  if (::fdatasync(fd) != 0) return failed("a new file cannot be written", errno);
  return {};
}

// Writes the content to a new hidden file beside the target that takes the old file's
// owner, group and permission bits (`old` is null when there is no target), and renames it
// over the target. Whatever fails, the new file is gone afterwards.
Outcome replaceByRename(const fs::path& target, const struct stat* old, std::string_view content) {
  fs::path temp;
  const int fd = createBeside(target, temp);
  if (fd < 0) return failed("no new file can be made beside it", errno);
  Outcome outcome = fillNewFile(fd, old, content);
  if (::close(fd) != 0 && outcome.error == 0) outcome = failed("a new file cannot be written", errno);
  if (outcome.error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
    outcome = failed("a new file cannot be renamed over it", errno);
  }
  if (outcome.error != 0) ::unlink(temp.c_str());
  return outcome;
}

// Why the target must be written in place even where a new file could be renamed over it.
std::string mustWriteInPlace(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return "it is not a regular file";
  if (st.st_nlink > 1) return "it has other hard links";
  return {};
}

// The plain write into the open target: truncate (a regular file only), one write, close.
int writeInPlace(int fd, const struct stat& st, std::string_view content) {
  int error = S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0 ? errno : writeAll(fd, content);
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// Replaces the target by a new file where that gives the same file, and writes into it
// otherwise. Opening the target for writing first makes a read-only target a failed write,
// as the plain write would be, and a FIFO without a reader fails there (ENXIO) instead of
// blocking the monitor.
Outcome writeFile(const fs::path& target, std::string_view content) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return {replaceByRename(target, nullptr, content).error, {}};
  if (fd < 0) return {errno, {}};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return {error, {}};
  }
  std::string because = mustWriteInPlace(st);
  if (because.empty()) because = replaceByRename(target, &st, content).inPlaceBecause;
  if (because.empty()) {
    ::close(fd);  // only opened, never written
    return {};
  }
  return {writeInPlace(fd, st, content), because};
}

std::string shown(const fs::path& target) {
  std::error_code ec;
  return fs::absolute(target, ec).lexically_normal().string();
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string folder) : folder_(std::move(folder)) {}

bool AtomicFileWriter::replace(std::string_view name, std::string_view content) {
  const fs::path target = resolveLinks(fs::path(folder_) / name);
  const Outcome outcome = writeFile(target, content);
  FileHealth& health = health_.try_emplace(std::string(name)).first->second;
  if (outcome.error != 0) {
    ++health.failures;
    if (health.writable) {
      reportProblem("cannot write " + shown(target) + " (" + std::strerror(outcome.error) +
                        "); it is written again with the next update",
                    ProblemKind::FileFailed);
      health.writable = false;
    }
    return false;
  }
  if (!health.writable) {
    reportProblem("writing " + shown(target) + " works again", ProblemKind::FileWorks);
    health.writable = true;
  }
  if (!outcome.inPlaceBecause.empty()) noteInPlace(name, shown(target), outcome.inPlaceBecause);
  return true;
}

void AtomicFileWriter::noteInPlace(std::string_view name, const std::string& path,
                                   const std::string& because) {
  const auto [said, first] = inPlace_.try_emplace(std::string(name), because);
  if (!first && said->second == because) return;
  said->second = because;
  reportProblem("written in place: " + path + ", as " + because +
                "; a reader can see it empty for an instant");
}

}  // namespace tallowmere
