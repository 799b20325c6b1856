#pragma once

#include <cstdint>
#include <string>

#include "log/LogLine.h"

namespace tallowmere {

// The log folder: one file of JSON Lines per UTC day, "YYYY-MM-DD.jsonl". Each line is
// appended whole with one write(2) on a file opened for appending, so a reader never
// sees part of a line. A day file that reaches its bound takes no more events until the
// next day: one line on stderr and a last "log_full" line say so. A folder or file that
// cannot be written loses the events meanwhile, with one line on stderr per outage.
class DayFiles {
 public:
  static constexpr std::int64_t kMaxDayBytes = std::int64_t{64} << 20;

  explicit DayFiles(std::string folder, std::int64_t maxDayBytes = kMaxDayBytes);
  ~DayFiles();
  DayFiles(const DayFiles&) = delete;
  DayFiles& operator=(const DayFiles&) = delete;

  void append(const LogLine& line);
  // Removes the day files older than `days` days, today (the UTC day of `now`) included.
  void removeExpired(WallTime now, int days);

 private:
  bool openDay(const std::string& day);
  void writeLine(const std::string& text);
  void failed(const std::string& what, int error);
  std::string pathOf(const std::string& day) const { return folder_ + "/" + day + ".jsonl"; }

  std::string folder_;
  std::int64_t maxDayBytes_;
  int fd_ = -1;
  std::string day_;        // the day of the open file, or of the full one
  std::int64_t size_ = 0;  // of the open file
  bool full_ = false;      // the day's file reached its bound
  bool failing_ = false;   // an outage has been reported
};

}  // namespace tallowmere
