#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>

namespace tallowmere {

// When the next group may go out. Each group costs its share of the line: at the RDS
// rate a fixed 104 bits at 1187.5 bit/s, when flooding its bytes at 11,520 bytes/s
// (115200 baud, 8N1). A late start catches up by one group at most, so no burst ever
// beats the rate.
class Pacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit Pacer(bool flood) : flood_(flood) {}

  Clock::time_point due() const { return due_; }
  void groupSent(std::size_t bytes, Clock::time_point now) {
    due_ = std::max(due_, now - cost(bytes)) + cost(bytes);
  }
  // An answer to a command shares a flooded line with the groups; at the RDS rate it
  // travels beside them.
  void answerSent(std::size_t bytes) {
    if (flood_) due_ += cost(bytes);
  }

 private:
  Clock::duration cost(std::size_t bytes) const {
    using std::chrono::nanoseconds;
    if (!flood_) return nanoseconds(104'000'000'000 * 2 / 2375);
    return nanoseconds(static_cast<long long>(bytes) * 1'000'000'000 / 11'520);
  }

  bool flood_;
  Clock::time_point due_{};
};

}  // namespace tallowmere
