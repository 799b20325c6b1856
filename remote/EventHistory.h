#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "log/LogLine.h"

namespace tallowmere {

// The station-log events of this run that the web server hands out, the newest
// kCapacity of them, each as its JSON object; numbered in order, so that a client can
// ask for what came after the last one it has.
class EventHistory {
 public:
  static constexpr std::size_t kCapacity = 1000;

  void add(const LogLine& line);

  // The number the next event will get.
  long long nextNumber() const { return next_; }
  // As a JSON array: the events numbered `first` and later, at most `limit` (the newest).
  std::string arrayFrom(long long first, std::size_t limit = kCapacity) const;
  // As a JSON array: the events at or after `since`.
  std::string arraySince(WallTime since) const;

 private:
  struct Event {
    WallTime time;
    std::string json;
  };
  std::deque<Event> events_;
  long long next_ = 0;
};

}  // namespace tallowmere
