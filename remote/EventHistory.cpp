#include "remote/EventHistory.h"

#include <algorithm>

namespace tallowmere {

void EventHistory::add(const LogLine& line) {
  std::string json = line.str();
  json.pop_back();  // the line's LF
  events_.push_back({line.time(), std::move(json)});
  if (events_.size() > kCapacity) events_.pop_front();
  ++next_;
}

std::string EventHistory::arrayFrom(long long first, std::size_t limit) const {
  const long long oldest = next_ - static_cast<long long>(events_.size());
  const long long available = next_ - std::max(first, oldest);
  const auto count =
      static_cast<std::size_t>(std::clamp<long long>(available, 0, static_cast<long long>(limit)));
  std::string out = "[";
  for (auto it = events_.end() - static_cast<std::ptrdiff_t>(count); it != events_.end(); ++it) {
    if (out.size() > 1) out += ",";
    out += it->json;
  }
  return out + "]";
}

std::string EventHistory::arraySince(WallTime since) const {
  // Events are added in time order; a clock set back can break that, so each is checked.
  std::string out = "[";
  for (const Event& e : events_) {
    if (e.time < since) continue;
    if (out.size() > 1) out += ",";
    out += e.json;
  }
  return out + "]";
}

}  // namespace tallowmere
