#include "log/EvidenceFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "log/LogLine.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

namespace fs = std::filesystem;

// "2025-01-01T12-00-00Z": the log's time stamp to the second, with no ':' in a file name.
std::string fileTime(WallTime time) {
  std::string stamp = timeStamp(time).substr(0, 19) + "Z";
  std::replace(stamp.begin() + 11, stamp.end(), ':', '-');
  return stamp;
}

}  // namespace

void EvidenceFiles::groupDecoded(WallTime now, const GroupRecord& g) {
  Line line{now, {}};
  std::copy_n(g.groupHex.begin() + 2, line.blocks.size(), line.blocks.begin());
  lines_.push_back(line);
  // A little more than the minute, for the file completed at the first group after it.
  while (lines_.size() > kMaxLines || now - lines_.front().time > kSpan + std::chrono::seconds(10)) {
    lines_.pop_front();
  }
}

std::string EvidenceFiles::linesSince(WallTime from) const {
  std::string out;
  for (const Line& line : lines_) {
    if (line.time <= from) continue;
    const std::string_view b(line.blocks.data(), line.blocks.size());
    out += ">>> ";
    for (std::size_t block = 0; block < 4; ++block) {
      out += b.substr(block * 4, 4);
      out += block < 3 ? ':' : '<';
    }
    out += "\r\n";
  }
  return out;
}

std::string EvidenceFiles::alarmRaised(WallTime now, std::string_view check) {
  std::string path = folder_ + "/" + fileTime(now) + "-" + std::string(check) + ".groups";
  std::string before = linesSince(now - kSpan);
  if (!save(path, before)) return {};
  pending_.push_back({path, std::move(before), now});
  return path;
}

void EvidenceFiles::completeDue(WallTime now) {
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (now - it->raisedAt < kSpan) {
      ++it;
      continue;
    }
    save(it->path, it->before + linesSince(it->raisedAt));
    it = pending_.erase(it);
  }
}

// Written beside it, then renamed over it: a reader never sees half a file.
bool EvidenceFiles::save(const std::string& path, const std::string& content) const {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  const std::string temporary = path + ".new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool written =
      fd >= 0 && ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  const int error = written ? 0 : errno;
  if (fd >= 0) written = ::close(fd) == 0 && written;
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  reportProblem("cannot write the evidence file " + path + " (" + std::strerror(error != 0 ? error : errno) +
                    "); the alarm is logged without it",
                ProblemKind::LogFolder);
  return false;
}

void EvidenceFiles::removeExpired(WallTime now, int days) const {
  const std::string oldestKept = utcDay(now - std::chrono::days{days - 1});
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.ends_with(".groups") || name.size() < 10 || name.substr(0, 10) >= oldestKept) continue;
    fs::remove(it->path(), ec);
  }
}

}  // namespace tallowmere
