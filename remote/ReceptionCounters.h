#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "form/FormEvents.h"

namespace tallowmere {

// What the monitor received, counted for the web server's page and metrics from what the
// form tells: groups (group lines cut into four hexadecimal blocks) by group type, the
// group lines that could not be cut, when the last group came, the last signal report and
// traffic state, and one sample a second of the level and the group rate for the last ten
// minutes.
class ReceptionCounters : public FormEvents {
 public:
  static constexpr std::size_t kSampleCount = 600;
  // One type per version ("A", "B" and "?", a version no block told) and type number.
  static constexpr std::size_t kTypeCount = 48;

  struct Sample {
    long long unixSeconds;
    std::optional<int> level;
    double groupsPerSecond;
  };

  // secondsNow: a steady clock in seconds.
  explicit ReceptionCounters(std::function<double()> secondsNow) : secondsNow_(std::move(secondsNow)) {}

  void groupDecoded(const GroupRecord& g, const DecoderState& s) override;
  void statusRead(const StatusReading& reading) override;
  void trafficChanged(int state) override { trafficState_ = state; }
  // The sample for the second that just ended.
  void takeSample(long long unixSeconds, double elapsedSeconds);

  std::optional<int> level() const { return level_; }
  bool stereo() const { return stereo_; }
  // 0 none, 1 an announcement, 2 unknown.
  int trafficState() const { return trafficState_; }

  long long groups() const { return groups_; }
  long long uncut() const { return uncut_; }
  long long groupsOfType(std::size_t type) const { return byType_[type]; }
  static std::string typeName(std::size_t type);
  std::optional<double> secondsSinceLastGroup(double nowSeconds) const;

  const std::deque<Sample>& samples() const { return samples_; }
  // The number of samples taken so far, so that a client can ask for the new ones.
  long long samplesTaken() const { return samplesTaken_; }

 private:
  std::function<double()> secondsNow_;
  std::optional<int> level_;
  bool stereo_ = false;
  int trafficState_ = 2;
  long long groups_ = 0;
  long long uncut_ = 0;
  std::array<long long, kTypeCount> byType_{};
  std::optional<double> lastGroupAt_;
  long long groupsAtLastSample_ = 0;
  std::deque<Sample> samples_;
  long long samplesTaken_ = 0;
};

}  // namespace tallowmere
