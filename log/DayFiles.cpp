#include "log/DayFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;
using std::chrono::days;
using std::chrono::sys_days;

// The day of a day file's name, or nothing for any other name.
std::optional<sys_days> dayOfFileName(const std::string& name) {
  int y = 0;
  unsigned m = 0;
  unsigned d = 0;
  char tail[8] = {};
  if (name.size() != 16 || std::sscanf(name.c_str(), "%4d-%2u-%2u%6s", &y, &m, &d, tail) != 4) return {};
  if (std::strcmp(tail, ".jsonl") != 0) return {};
  const std::chrono::year_month_day date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
  if (!date.ok()) return {};
  return sys_days{date};
}

}  // namespace

DayFiles::DayFiles(std::string folder, std::int64_t maxDayBytes)
    : folder_(std::move(folder)), maxDayBytes_(maxDayBytes) {}

DayFiles::~DayFiles() {
  if (fd_ >= 0) ::close(fd_);
}

void DayFiles::append(const LogLine& line) {
  const std::string day = utcDay(line.time());
  if (day != day_) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    day_ = day;
    full_ = false;
  }
  if (full_ || (fd_ < 0 && !openDay(day))) return;
  const std::string text = line.str();
  // Room is kept for the line that says the file is full.
  const std::string fullLine = LogLine(line.time(), "log_full").str();
  if (size_ + static_cast<std::int64_t>(text.size() + fullLine.size()) > maxDayBytes_) {
    full_ = true;
    writeLine(fullLine);
    reportProblem("the log " + pathOf(day) + " reached " + std::to_string(maxDayBytes_ >> 20) +
                      " MiB; no more events are logged until the next UTC day",
                  ProblemKind::LogFolder);
    return;
  }
  writeLine(text);
}

bool DayFiles::openDay(const std::string& day) {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  const std::string path = pathOf(day);
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    failed(path, errno);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return false;
  }
  size_ = st.st_size;
  return true;
}

// One write: a short one (a full disk) is taken back, so that no part of a line stays.
void DayFiles::writeLine(const std::string& text) {
  ssize_t n;
  do {
    n = ::write(fd_, text.data(), text.size());
  } while (n < 0 && errno == EINTR);
  if (n == static_cast<ssize_t>(text.size())) {
    size_ += n;
    if (failing_) {
      failing_ = false;
      reportProblem("writing the log " + pathOf(day_) + " works again", ProblemKind::LogFolder);
    }
    return;
  }
  const int error = n < 0 ? errno : ENOSPC;
  if (n > 0 && ::ftruncate(fd_, size_) != 0) size_ += n;
  failed(pathOf(day_), error);
  ::close(fd_);
  fd_ = -1;
}

void DayFiles::failed(const std::string& what, int error) {
  if (failing_) return;
  failing_ = true;
  reportProblem("cannot write the log " + what + " (" + std::strerror(error) +
                    "); events are lost until it can be written again",
                ProblemKind::LogFolder);
}

void DayFiles::removeExpired(WallTime now, int keepDays) {
  const sys_days oldestKept = std::chrono::floor<days>(now) - days{keepDays - 1};
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const auto day = dayOfFileName(it->path().filename().string());
    if (!day || *day >= oldestKept) continue;
    std::error_code removeError;
    fs::remove(it->path(), removeError);
    if (removeError) {
      reportProblem("cannot remove the old log " + it->path().string() + " (" + removeError.message() + ")",
                    ProblemKind::LogFolder);
    }
  }
}

}  // namespace tallowmere
