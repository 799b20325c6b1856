#pragma once

#include <memory>
#include <string>

#include "remote/EventHistory.h"

namespace tallowmere {

// What the decoding side tells the network at one moment, never changed once handed over:
// the network thread answers every request and feeds every page from the newest one.
struct Snapshot {
  long long number = 0;  // one more than the last one's
  std::string state;     // GET /api/state
  std::string metrics;   // GET /metrics
  std::string history;   // the samples of the last ten minutes, for a page that joins
  std::string events;    // the newest station-log events, for a page that joins
  std::string update;    // a page's message with what changed since the last snapshot, or ""
  std::shared_ptr<const EventHistory> eventLog;  // GET /api/events
};

}  // namespace tallowmere
