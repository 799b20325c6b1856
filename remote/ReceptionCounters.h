#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "display/DisplayModel.h"
#include "rds/GroupRecord.h"

namespace tallowmere {

// The level the window shows in lblRSSI ("RSSI: 42 dBuV" is 42), when it shows a number.
std::optional<int> signalLevel(const DisplayModel& fields);

// What the monitor received, counted for the web server's page and metrics: groups (group
// lines cut into four hexadecimal blocks) by group type, the group lines that could not
// be cut, when the last group came, and
// one sample a second of the level and the group rate for the last ten minutes.
class ReceptionCounters {
 public:
  static constexpr std::size_t kSampleCount = 600;
  // One type per version ("A", "B" and "?", a version no block told) and type number.
  static constexpr std::size_t kTypeCount = 48;

  struct Sample {
    long long unixSeconds;
    std::optional<int> level;
    double groupsPerSecond;
  };

  // nowSeconds: a steady clock in seconds.
  void groupDecoded(const GroupRecord& g, double nowSeconds);
  // The sample for the second that just ended.
  void takeSample(long long unixSeconds, std::optional<int> level, double elapsedSeconds);

  long long groups() const { return groups_; }
  long long uncut() const { return uncut_; }
  long long groupsOfType(std::size_t type) const { return byType_[type]; }
  static std::string typeName(std::size_t type);
  std::optional<double> secondsSinceLastGroup(double nowSeconds) const;

  const std::deque<Sample>& samples() const { return samples_; }
  // The number of samples taken so far, so that a client can ask for the new ones.
  long long samplesTaken() const { return samplesTaken_; }

 private:
  long long groups_ = 0;
  long long uncut_ = 0;
  std::array<long long, kTypeCount> byType_{};
  std::optional<double> lastGroupAt_;
  long long groupsAtLastSample_ = 0;
  std::deque<Sample> samples_;
  long long samplesTaken_ = 0;
};

}  // namespace tallowmere
