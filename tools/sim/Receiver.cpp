#include "tools/sim/Receiver.h"

namespace tallowmere {
namespace {

constexpr std::string_view kNoSignal = " --- MONO RSSI: 07\r\n";
constexpr int kStationLevel = 47;  // dBuV
constexpr int kLevelWander = 3;

}  // namespace

Receiver::Receiver(const std::vector<std::string>* fileLines, bool once)
    : fileLines_(fileLines), once_(once) {}

std::string Receiver::command(std::string_view line, Clock::time_point now) {
  if (line.starts_with('f')) tune(line.substr(1), now);
  if (line == "i") return signalReport();
  return {};  // "v" and anything unknown: nothing to answer
}

void Receiver::tune(std::string_view digits, Clock::time_point now) {
  tunedAt_ = now;
  nextFileLine_ = 0;
  station_.reset();
  if (fileLines_ != nullptr) {
    onAir_ = true;
    return;
  }
  const Station* station = stationOn(digits);
  onAir_ = station != nullptr;
  if (onAir_) station_.emplace(*station);
}

std::string Receiver::signalReport() {
  if (!onAir_) return std::string(kNoSignal);
  std::uniform_int_distribution<int> wander(-kLevelWander, kLevelWander);
  const int level = kStationLevel + wander(levelNoise_);
  return " RDS STEREO RSSI: " + std::to_string(level) + "\r\n";
}

bool Receiver::sendingGroups() const {
  return onAir_ && (fileLines_ == nullptr || !once_ || nextFileLine_ < fileLines_->size());
}

std::optional<std::string> Receiver::nextGroupLine(Clock::time_point now, const WallClock& clock) {
  if (!sendingGroups()) return std::nullopt;
  if (station_) {
    const auto sinceTune = std::chrono::duration_cast<std::chrono::milliseconds>(now - tunedAt_);
    return groupLine(station_->next(sinceTune, clock));
  }
  if (nextFileLine_ >= fileLines_->size()) nextFileLine_ = 0;
  return (*fileLines_)[nextFileLine_++] + "\r\n";
}

}  // namespace tallowmere
