#pragma once

#include <chrono>

namespace tallowmere {

using WallTime = std::chrono::system_clock::time_point;

// The time of day the log stamps its events with. The monitor reads the machine's
// clock; the replay driver and the tests move a clock of their own.
class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual WallTime now() const = 0;
};

class SystemWallClock final : public WallClock {
 public:
  WallTime now() const override { return std::chrono::system_clock::now(); }
};

// A clock that stands still until it is moved.
class ManualWallClock final : public WallClock {
 public:
  explicit ManualWallClock(WallTime start) : now_(start) {}
  WallTime now() const override { return now_; }
  void advance(std::chrono::microseconds step) { now_ += step; }
  void set(WallTime time) { now_ = time; }

 private:
  WallTime now_;
};

}  // namespace tallowmere
