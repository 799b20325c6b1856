#include "remote/ReceptionCounters.h"

namespace tallowmere {

std::optional<int> signalLevel(const DisplayModel& fields) {
  constexpr std::string_view kPrefix = "RSSI: ";
  const std::string& text = fields[Field::lblRSSI].text;
  if (!std::string_view(text).starts_with(kPrefix) || text.size() < kPrefix.size() + 2) return std::nullopt;
  const char tens = text[kPrefix.size()];
  const char units = text[kPrefix.size() + 1];
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (!isDigit(units) || !(isDigit(tens) || tens == ' ')) return std::nullopt;
  return (tens == ' ' ? 0 : (tens - '0') * 10) + (units - '0');
}

void ReceptionCounters::groupDecoded(const GroupRecord& g, double nowSeconds) {
  if (!g.bytesBuilt) {
    ++uncut_;
    return;
  }
  ++groups_;
  lastGroupAt_ = nowSeconds;
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

void ReceptionCounters::takeSample(long long unixSeconds, std::optional<int> level, double elapsedSeconds) {
  const double rate =
      elapsedSeconds > 0 ? static_cast<double>(groups_ - groupsAtLastSample_) / elapsedSeconds : 0;
  groupsAtLastSample_ = groups_;
  samples_.push_back({unixSeconds, level, rate});
  if (samples_.size() > kSampleCount) samples_.pop_front();
  ++samplesTaken_;
}

}  // namespace tallowmere
