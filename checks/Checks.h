#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "checks/CheckEvents.h"
#include "checks/CheckSettings.h"
#include "form/FormEvents.h"
#include "station/StationEvents.h"
#include "station/StationModel.h"

namespace tallowmere {

// Where a check stands: its last judgement, since when, and whether its alarm is raised.
struct CheckState {
  Judged judged = Judged::unknown;
  bool alarm = false;
  CheckTime since;
  std::optional<CheckTime> failingSince;  // of the current failing spell
  std::optional<CheckTime> okSince;       // of the current ok spell
  CheckTime raisedAt;
};

// The station checks: what the [Checks] settings say the station must send, judged at
// every group and signal poll as ok, failing or unknown. A check failing for the trigger
// time raises its alarm, one ok for the release time clears it; an unknown spell restarts
// either count. While the maintenance file exists no alarm is raised. It listens to the
// form and to the station model, runs on the clock it is given and tells its listeners
// of every alarm.
class Checks : public FormEvents, public StationEvents {
 public:
  static constexpr double kGraceSeconds = 30;      // of groups before content is judged
  static constexpr double kSlowFactSeconds = 120;  // for facts sent once a minute or so

  Checks(const StationModel& station, std::function<CheckTime()> now, std::string maintenancePath);

  void addListener(CheckEvents* listener) { listeners_.push_back(listener); }
  void configure(CheckSettings settings);
  const CheckSettings& settings() const { return settings_; }
  const CheckState& state(Check c) const { return states_[static_cast<std::size_t>(c)]; }
  // What the station or receiver gives now, as the alarm's "received" says it.
  std::string received(Check c) const;
  // "alarms: none" or "alarms: pi, rds": the raised alarms on one line.
  // The names of the checks whose alarm is raised, in the order of the checks.
  std::vector<std::string> raisedAlarms() const;
  const StationModel& station() const { return station_; }

  void started(const IniFile& ini, const std::string& iniPath, const StartInfo& info) override;
  void groupDecoded(const GroupRecord& g, const DecoderState& s) override;
  void statusRead(const StatusReading& reading) override;
  void polled() override;
  void retuned() override;
  void receiverConnected() override;
  void receiverLost() override;
  void trafficChanged(int state) override;
  void stationReset(const Station& s) override;
  void piChanged(const Station& s) override;
  void ptyChanged(const Station&) override { factChanged_ = true; }
  void flagsChanged(const Station&) override { factChanged_ = true; }
  void eccChanged(const Station&) override { factChanged_ = true; }
  void psChanged(const Station& s) override;
  void alternativeFrequenciesChanged(const Station& s) override;
  void radioTextChanged(const Station& s) override;
  void clockChanged(const Station& s) override;

 private:
  Judged judge(Check c, CheckTime now, bool contentKnown) const;
  bool contentKnown(CheckTime now) const;
  Judged judgeContent(Check c, CheckTime now) const;
  bool afContains(const Station& s) const;
  bool psMatches(const Station& s) const;
  // The TMC facts: announced in a 3A group, and an 8A group within the last two minutes.
  bool tmcAnnounced() const { return tmcAnnounced_; }
  bool tmcGroupRecent(CheckTime now) const;
  void forgetStation();
  void judgeAll();
  CheckTime nextTurn(CheckTime now) const;
  void advance(Check c, Judged judged, CheckTime now);
  void checkMaintenance();
  void tell(const AlarmEvent& event);

  const StationModel& station_;
  std::function<CheckTime()> now_;
  std::string maintenancePath_;
  std::vector<CheckEvents*> listeners_;
  CheckSettings settings_;
  std::array<CheckState, kCheckCount> states_{};

  bool hasReceiver_ = false;  // a COMport is set
  bool connected_ = false;
  bool tuned_ = false;
  CheckTime stationSince_;                // the retune, loss or connection that began it
  std::optional<CheckTime> groupsSince_;  // the first group since the station began
  std::optional<CheckTime> lastGroup_;
  bool tmcAnnounced_ = false;
  long long tmcGroups_ = 0;
  std::optional<CheckTime> lastTmcGroup_;
  int trafficState_ = 2;
  CheckTime announcementSince_;
  std::optional<int> level_;
  std::optional<std::string> radioText_;
  CheckTime radioTextSince_;
  std::optional<double> clockDifference_;
  // The comparisons of texts and lists, made when the fact changes rather than at every group.
  bool piMatches_ = false;
  bool psMatches_ = false;
  bool afMatches_ = false;
  bool maintenance_ = false;
  // A group is judged only when a fact changed or a time limit may have passed: most
  // groups change nothing a check looks at.
  bool factChanged_ = true;
  CheckTime nextTurn_;
};

}  // namespace tallowmere
