#pragma once

#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "log/WallClock.h"
#include "rds/GroupRecord.h"

namespace tallowmere {

// The evidence of an alarm: the group lines of the minute before it, in the receiver's own
// line format, saved as "YYYY-MM-DDTHH-MM-SSZ-CHECK.groups" in the log's evidence folder,
// and replaced whole a minute later with the lines of the minute after it added. The
// lines wait in memory for a minute, at most kMaxLines of them.
class EvidenceFiles {
 public:
  static constexpr auto kSpan = std::chrono::seconds(60);
  // A minute of a flooded line at 115200 baud, with room to spare.
  static constexpr std::size_t kMaxLines = 32768;

  explicit EvidenceFiles(std::string folder) : folder_(std::move(folder)) {}

  void groupDecoded(WallTime now, const GroupRecord& g);
  // Saves the minute before the alarm; returns the file's path.
  std::string alarmRaised(WallTime now, std::string_view check);
  // Files whose minute after has passed are replaced whole.
  void completeDue(WallTime now);
  // Removes the files of days older than `days`, today (the UTC day of `now`) included.
  void removeExpired(WallTime now, int days) const;

 private:
  struct Line {
    WallTime time;
    std::array<char, 16> blocks;  // AAAABBBBCCCCDDDD
  };
  struct Pending {
    std::string path;
    std::string before;
    WallTime raisedAt;
  };
  std::string linesSince(WallTime from) const;
  bool save(const std::string& path, const std::string& content) const;

  std::string folder_;
  std::deque<Line> lines_;
  std::vector<Pending> pending_;
};

}  // namespace tallowmere
