#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "display/DisplayModel.h"
#include "log/LogLine.h"
#include "rds/DecoderState.h"
#include "rds/GroupRecord.h"
#include "rds/StatusLine.h"

namespace tallowmere {

// Watches what the decoders made of each group and status line and turns each change
// worth keeping into a log event: pi, ps, pty, radiotext, traffic, tmc, signal, clock.
// A value is logged when it differs from the last one logged since the retune.
class StationWatcher {
 public:
  using Write = std::function<void(const LogLine&)>;

  StationWatcher(const WallClock& clock, Write write) : clock_(clock), write_(std::move(write)) {}

  // The frequency an announcement is heard on, as the tune event gives it.
  void tunedTo(std::string frequency) { frequency_ = std::move(frequency); }
  void groupDecoded(const GroupRecord& g, const DecoderState& s, const DisplayModel& w);
  void statusRead(const StatusReading& reading);
  // An announcement in progress ends for a reason of the monitor's own: a retune, a lost
  // receiver, the monitor stopping.
  void endAnnouncement(std::string_view reason);
  // A retune: what was logged belongs to the previous station.
  void forgetStation() { station_ = Station{}; }

 private:
  struct Announcement {
    WallTime start;
    std::string pi;
    std::string ps;
    std::string frequency;
  };
  struct Station {
    std::string pi;
    std::string ps;
    std::string pty;
    std::string radioText;
    std::string radioTextShown;  // lblRadioText as last seen
    // The PS buffer as last seen, and the segments of the name being assembled.
    std::string psBuffer = kEmptyPs;
    unsigned psSegments = 0;
    bool tmc = false;
    std::optional<Announcement> announcement;
    std::optional<bool> stereo;
    std::optional<int> level;
    std::optional<WallTime> lastClock;
  };

  void watchPs(const GroupRecord& g, const DecoderState& s);
  void watchRadioText(const DisplayModel& w);
  void watchClock(const DisplayModel& w);
  void watchTraffic(const DecoderState& s);
  LogLine line(LogEventName event) const { return LogLine(clock_.now(), event); }

  const WallClock& clock_;
  Write write_;
  std::string frequency_;
  Station station_;
};

}  // namespace tallowmere
