#pragma once

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/GroupSequence.h"

namespace tallowmere {

// What the receiver does, apart from any device: it takes command lines and says what
// to send back, and it hands out the next group line of whatever it is tuned to.
class Receiver {
 public:
  using Clock = std::chrono::steady_clock;

  // With fileLines, every frequency plays those lines instead of a built-in station;
  // once stops them at the end rather than starting over.
  explicit Receiver(const std::vector<std::string>* fileLines = nullptr, bool once = false);

  // One command without its line end; returns the answer to send (with CR LF), if any.
  std::string command(std::string_view line, Clock::time_point now);

  bool sendingGroups() const;
  // The next group line (with CR LF), or nothing while silent.
  std::optional<std::string> nextGroupLine(Clock::time_point now, const WallClock& clock);

 private:
  void tune(std::string_view digits, Clock::time_point now);
  std::string signalReport();

  const std::vector<std::string>* fileLines_;
  bool once_;
  bool onAir_ = false;  // tuned to a station or playing the file
  std::optional<GroupSequence> station_;
  std::size_t nextFileLine_ = 0;
  Clock::time_point tunedAt_;
  std::minstd_rand levelNoise_{47};
};

}  // namespace tallowmere
