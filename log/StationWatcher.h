#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "log/LogLine.h"
#include "rds/DecoderState.h"
#include "rds/GroupRecord.h"
#include "rds/StatusLine.h"
#include "station/StationEvents.h"

namespace tallowmere {

// Turns the station model's facts into log events (pi, pty, ps, radiotext, clock, af, ecc,
// pin, language), and what the form tells of the station into the others (traffic, tmc,
// signal). A fact is logged when it changed; a reset forgets what was logged, so the next
// station's facts are logged whole.
class StationWatcher : public StationEvents {
 public:
  using Write = std::function<void(const LogLine&)>;

  StationWatcher(const WallClock& clock, Write write) : clock_(clock), write_(std::move(write)) {}

  // The frequency an announcement is heard on, as the tune event gives it.
  void tunedTo(std::string frequency) { frequency_ = std::move(frequency); }
  void groupDecoded(const GroupRecord& g, const DecoderState& s);
  void statusRead(const StatusReading& reading);
  // The traffic state shown: an announcement starts at 1 and ends at 0.
  void trafficChanged(int state);
  // An announcement in progress ends for a reason of the monitor's own: a retune, a lost
  // receiver, the monitor stopping.
  void endAnnouncement(std::string_view reason);

  void stationReset(const Station&) override { logged_ = Logged{}; }
  void piChanged(const Station& s) override;
  void ptyChanged(const Station& s) override;
  void psChanged(const Station& s) override;
  void radioTextChanged(const Station& s) override;
  void clockChanged(const Station& s) override;
  void alternativeFrequenciesChanged(const Station& s) override;
  void eccChanged(const Station& s) override;
  void languageChanged(const Station& s) override;
  void programmeItemChanged(const Station& s) override;

 private:
  struct Announcement {
    WallTime start;
    std::string pi;
    std::string ps;
    std::string frequency;
  };
  // What was logged of the station now on air.
  struct Logged {
    std::string pi;
    std::string ps;
    std::string radioText;
    std::array<std::optional<std::string>, 2> radioTextOfFlag;  // as last heard
    bool tmc = false;
    std::optional<bool> stereo;
    std::optional<int> level;
    std::optional<WallTime> lastClock;
  };

  LogLine line(std::string_view event) const { return LogLine(clock_.now(), event); }

  const WallClock& clock_;
  Write write_;
  std::string frequency_;
  // The window's, for an announcement before the facts are known.
  std::string piOfGroup_;
  std::string psBuffer_ = kEmptyPs;
  Logged logged_;
  std::optional<Announcement> announcement_;
};

}  // namespace tallowmere
