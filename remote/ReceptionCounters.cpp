#include "remote/ReceptionCounters.h"

namespace tallowmere {

void ReceptionCounters::groupDecoded(const GroupRecord& g, const DecoderState& /*s*/) {
  if (!g.bytesBuilt) {
    ++uncut_;
    return;
  }
  ++groups_;
  lastGroupAt_ = secondsNow_();
  const std::size_t version = g.groupVersion == 'A' ? 0 : g.groupVersion == 'B' ? 1 : 2;
  ++byType_[version * 16 + static_cast<std::size_t>(g.typeNumber)];
}

std::string ReceptionCounters::typeName(std::size_t type) {
  return std::to_string(type % 16) + "AB?"[type / 16];
}

std::optional<double> ReceptionCounters::secondsSinceLastGroup(double nowSeconds) const {
  if (!lastGroupAt_) return std::nullopt;
  return nowSeconds - *lastGroupAt_;
}

void ReceptionCounters::statusRead(const StatusReading& reading) {
  if (reading.stereo != StatusReading::Stereo::Unknown)
    stereo_ = reading.stereo == StatusReading::Stereo::Stereo;
  if (reading.rssiFound) level_ = levelDbuv(reading);
}

void ReceptionCounters::takeSample(long long unixSeconds, double elapsedSeconds) {
  const double rate =
      elapsedSeconds > 0 ? static_cast<double>(groups_ - groupsAtLastSample_) / elapsedSeconds : 0;
  groupsAtLastSample_ = groups_;
  samples_.push_back({unixSeconds, level_, rate});
  if (samples_.size() > kSampleCount) samples_.pop_front();
  ++samplesTaken_;
}

}  // namespace tallowmere
