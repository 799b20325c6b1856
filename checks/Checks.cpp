#include "checks/Checks.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"
#include "settings/TrailingBlanks.h"
#include "station/StationJson.h"

namespace tallowmere {
namespace {

constexpr int kTmcGroupType = 8;  // 8A: the RDS-TMC messages

double secondsBetween(CheckTime from, CheckTime to) {
  return std::chrono::duration<double>(to - from).count();
}

std::string number(double value, int decimals) {
  std::string text;
  appendFixed(text, value, decimals);
  return text;
}

std::string psShown(const std::string& bytes) {
  return std::string(withoutTrailingBlanks(rdsTextUtf8(bytes)));
}

bool matchesPattern(std::string_view pattern, std::string_view hex) {
  return std::equal(pattern.begin(), pattern.end(), hex.begin(), hex.end(),
                    [](char p, char h) { return p == '*' || p == h; });
}

std::string khzList(const std::vector<int>& khz) {
  std::string out;
  for (int f : khz) out += (out.empty() ? "" : ",") + number(f / 1000.0, 1);
  return out;
}

// The frequencies the station lists for the frequency tuned.
std::vector<int> listedKhz(const AlternativeFrequencies& af, int tunedKhz) {
  if (af.method == 'A') return af.frequencies;
  for (const auto& list : af.lists) {
    if (list.tuned != tunedKhz) continue;
    std::vector<int> all = list.same;
    all.insert(all.end(), list.regional.begin(), list.regional.end());
    return all;
  }
  return {};
}

Judged okIf(bool ok) {
  return ok ? Judged::ok : Judged::failing;
}

}  // namespace

Checks::Checks(const StationModel& station, std::function<CheckTime()> now, std::string maintenancePath)
    : station_(station), now_(std::move(now)), maintenancePath_(std::move(maintenancePath)) {}

void Checks::configure(CheckSettings settings) {
  settings_ = std::move(settings);
  factChanged_ = true;
  for (CheckState& state : states_) state.since = now_();
  stationReset(station_.station());
}

void Checks::started(const IniFile& ini, const std::string& iniPath, const StartInfo& info) {
  configure(checkSettings(ini, iniPath));
  hasReceiver_ = !info.device.empty();
}

void Checks::groupDecoded(const GroupRecord&, const DecoderState& s) {
  const CheckTime now = now_();
  // The first group, or the first after a silence, changes the rds check and the content's.
  if (!lastGroup_ || now - *lastGroup_ >= std::chrono::duration<double>(kGraceSeconds)) factChanged_ = true;
  if (!groupsSince_) groupsSince_ = now;
  lastGroup_ = now;
  if (tmcAnnounced_ != (s.tmcSeen == 1)) {
    tmcAnnounced_ = s.tmcSeen == 1;
    factChanged_ = true;
  }
  if (const long long count = station_.station().groupsByType[kTmcGroupType]; count != tmcGroups_) {
    if (!tmcGroupRecent(now)) factChanged_ = true;
    tmcGroups_ = count;
    lastTmcGroup_ = now;
  }
  if (factChanged_ || now >= nextTurn_) judgeAll();
}

void Checks::polled() {
  checkMaintenance();
  judgeAll();
}

void Checks::statusRead(const StatusReading& reading) {
  if (reading.rssiFound) level_ = levelDbuv(reading);
  judgeAll();
}

void Checks::retuned() {
  tuned_ = true;
  forgetStation();
  judgeAll();
}

void Checks::receiverConnected() {
  connected_ = true;
  stationSince_ = now_();
  judgeAll();
}

void Checks::receiverLost() {
  connected_ = false;
  level_.reset();
  forgetStation();
  judgeAll();
}

void Checks::trafficChanged(int state) {
  if (state == 1 && trafficState_ != 1) announcementSince_ = now_();
  trafficState_ = state;
  judgeAll();
}

void Checks::stationReset(const Station& s) {
  piChanged(s);
  psChanged(s);
  alternativeFrequenciesChanged(s);
}

void Checks::piChanged(const Station& s) {
  factChanged_ = true;
  piMatches_ = s.pi && matchesPattern(settings_.piPattern, hexText(*s.pi, 4));
}

void Checks::psChanged(const Station& s) {
  factChanged_ = true;
  psMatches_ = psMatches(s);
}

void Checks::alternativeFrequenciesChanged(const Station& s) {
  factChanged_ = true;
  afMatches_ = s.af && afContains(s);
}

bool Checks::psMatches(const Station& s) const {
  return s.ps && (settings_.anyPs || std::find(settings_.psNames.begin(), settings_.psNames.end(),
                                               psShown(*s.ps)) != settings_.psNames.end());
}

void Checks::radioTextChanged(const Station& s) {
  if (s.currentRadioText() == radioText_) return;
  radioText_ = s.currentRadioText();
  radioTextSince_ = now_();
  factChanged_ = true;
}

void Checks::clockChanged(const Station& s) {
  clockDifference_ = secondsBetween(now_(), clockUtc(*s.clock));
  factChanged_ = true;
}

void Checks::forgetStation() {
  const CheckTime now = now_();
  stationSince_ = now;
  groupsSince_.reset();
  lastGroup_.reset();
  tmcAnnounced_ = false;
  tmcGroups_ = 0;
  lastTmcGroup_.reset();
  radioText_.reset();
  radioTextSince_ = now;
  clockDifference_.reset();
}

bool Checks::tmcGroupRecent(CheckTime now) const {
  return secondsBetween(lastTmcGroup_.value_or(*groupsSince_), now) <= kSlowFactSeconds;
}

bool Checks::afContains(const Station& s) const {
  const std::vector<int> listed = listedKhz(*s.af, station_.tunedKhz());
  return std::all_of(settings_.afKhz.begin(), settings_.afKhz.end(),
                     [&](int f) { return std::find(listed.begin(), listed.end(), f) != listed.end(); });
}

Judged Checks::judge(Check c, CheckTime now, bool contentKnown) const {
  const bool receiverUp = connected_ || !hasReceiver_;
  switch (c) {
    case Check::receiver:
      return hasReceiver_ ? okIf(connected_) : Judged::unknown;
    case Check::rds:
      if (!receiverUp || !tuned_) return Judged::unknown;
      return okIf(secondsBetween(lastGroup_.value_or(stationSince_), now) < kGraceSeconds);
    case Check::level:
      if (!receiverUp || !level_) return Judged::unknown;
      return okIf(*level_ >= settings_.minLevel);
    case Check::announcement:
      if (trafficState_ == 2) return Judged::unknown;
      return okIf(trafficState_ == 0 ||
                  secondsBetween(announcementSince_, now) <= settings_.maxAnnouncementSeconds);
    default:
      break;
  }
  return contentKnown ? judgeContent(c, now) : Judged::unknown;
}

// The station's content is judged once 30 s of groups came since the station began, and
// while they keep coming.
bool Checks::contentKnown(CheckTime now) const {
  return (connected_ || !hasReceiver_) && tuned_ && groupsSince_ &&
         secondsBetween(*groupsSince_, now) >= kGraceSeconds &&
         secondsBetween(*lastGroup_, now) < kGraceSeconds;
}

Judged Checks::judgeContent(Check c, CheckTime now) const {
  const Station& s = station_.station();
  const double heard = secondsBetween(*groupsSince_, now);
  switch (c) {
    case Check::pi:
      return okIf(piMatches_);
    case Check::ps:
      return okIf(psMatches_);
    case Check::pty:
      return okIf(s.pty == settings_.pty);
    case Check::tp:
      return okIf(s.tp == settings_.tp);
    case Check::ecc:
      return okIf(s.ecc == settings_.ecc);
    case Check::af:
      return okIf(afMatches_);
    case Check::tmc:
      return okIf(tmcAnnounced() && tmcGroupRecent(now));
    case Check::radiotext:
      return okIf(radioText_ && secondsBetween(radioTextSince_, now) <= settings_.radioTextUnchangedSeconds);
    case Check::clock:
      if (!clockDifference_) return heard < kSlowFactSeconds ? Judged::unknown : Judged::failing;
      return okIf(std::abs(*clockDifference_) <= settings_.clockDriftSeconds);
    case Check::group_rate:
      if (heard < 2 * kGraceSeconds) return Judged::unknown;  // the rate is over a minute
      return okIf(s.groupRate >= settings_.minGroupRate);
    default:
      return Judged::unknown;
  }
}

std::string Checks::received(Check c) const {
  const Station& s = station_.station();
  const CheckTime now = now_();
  switch (c) {
    case Check::pi:
      return s.pi ? hexText(*s.pi, 4) : "none";
    case Check::ps:
      return s.ps ? psShown(*s.ps) : "none";
    case Check::pty:
      return s.pty ? std::to_string(*s.pty) : "none";
    case Check::tp:
      return s.tp ? std::to_string(static_cast<int>(*s.tp)) : "none";
    case Check::ecc:
      return s.ecc ? hexText(static_cast<unsigned>(*s.ecc), 2) : "none";
    case Check::af:
      return s.af ? khzList(listedKhz(*s.af, station_.tunedKhz())) : "none";
    case Check::tmc:
      if (!tmcAnnounced()) return "not announced";
      return lastTmcGroup_ ? "last group " + number(secondsBetween(*lastTmcGroup_, now), 0) + " s ago"
                           : "no group";
    case Check::announcement:
      if (trafficState_ == 2) return "unknown";
      return trafficState_ == 0
                 ? "none"
                 : "on for " + number(secondsBetween(announcementSince_, now) / 60, 1) + " min";
    case Check::radiotext:
      return radioText_ ? "unchanged for " + number(secondsBetween(radioTextSince_, now) / 60, 1) + " min"
                        : "none";
    case Check::clock:
      return clockDifference_ ? number(*clockDifference_, 0) + " s" : "none";
    case Check::group_rate:
      return number(s.groupRate, 1) + " groups/s";
    case Check::level:
      return level_ ? std::to_string(*level_) + " dBuV" : "none";
    case Check::receiver:
      return connected_ ? "connected" : "not connected";
    case Check::rds:
      return lastGroup_ ? "last group " + number(secondsBetween(*lastGroup_, now), 0) + " s ago" : "no group";
  }
  return {};
}

std::vector<std::string> Checks::raisedAlarms() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    if (states_[i].alarm) names.emplace_back(kCheckNames[i]);
  }
  return names;
}

void Checks::judgeAll() {
  const CheckTime now = now_();
  const bool known = contentKnown(now);
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    const auto c = static_cast<Check>(i);
    if (settings_.configured(c)) advance(c, judge(c, now, known), now);
  }
  factChanged_ = false;
  nextTurn_ = nextTurn(now);
}

// The earliest time from `now` at which a judgement or an alarm's count may change with
// no fact changing: a time limit of a check, of the content's grace or of a spell.
CheckTime Checks::nextTurn(CheckTime now) const {
  CheckTime next = CheckTime::max();
  const auto after = [&](std::optional<CheckTime> from, double seconds) {
    if (!from) return;
    const CheckTime at =
        *from + std::chrono::ceil<CheckTime::duration>(std::chrono::duration<double>(seconds));
    if (at >= now) next = std::min(next, at);
  };
  after(lastGroup_.value_or(stationSince_), kGraceSeconds);
  after(groupsSince_, kGraceSeconds);
  after(groupsSince_, 2 * kGraceSeconds);
  after(groupsSince_, kSlowFactSeconds);
  after(lastTmcGroup_ ? lastTmcGroup_ : groupsSince_, kSlowFactSeconds);
  if (trafficState_ == 1) after(announcementSince_, settings_.maxAnnouncementSeconds);
  after(radioTextSince_, settings_.radioTextUnchangedSeconds);
  if (settings_.configured(Check::group_rate)) after(now, 1);  // the rate moves each second
  for (const CheckState& st : states_) {
    if (!st.alarm) after(st.failingSince, settings_.triggerSeconds);
    if (st.alarm) after(st.okSince, settings_.releaseSeconds);
  }
  return next;
}

// A failing spell of the trigger time raises the alarm, an ok spell of the release time
// clears it; an unknown spell ends either.
void Checks::advance(Check c, Judged judged, CheckTime now) {
  CheckState& st = states_[static_cast<std::size_t>(c)];
  // Most judgements repeat the last with nothing to count: an alarm raised and still
  // failing, none raised and still ok, an unknown spell, or maintenance holding a raise.
  if (judged == st.judged && (judged == Judged::unknown || (judged == Judged::ok) != st.alarm ||
                              (judged == Judged::failing && maintenance_))) {
    return;
  }
  if (judged != st.judged) {
    st.judged = judged;
    st.since = now;
  }
  st.failingSince = judged == Judged::failing ? st.failingSince.value_or(now) : std::optional<CheckTime>();
  st.okSince = judged == Judged::ok ? st.okSince.value_or(now) : std::optional<CheckTime>();
  if (!st.alarm && st.failingSince && !maintenance_ &&
      secondsBetween(*st.failingSince, now) >= settings_.triggerSeconds) {
    st.alarm = true;
    st.raisedAt = now;
    tell({c, true, settings_.expected[static_cast<std::size_t>(c)], received(c), now, 0});
  } else if (st.alarm && st.okSince && secondsBetween(*st.okSince, now) >= settings_.releaseSeconds) {
    st.alarm = false;
    tell({c, false, settings_.expected[static_cast<std::size_t>(c)], received(c), now,
          secondsBetween(st.raisedAt, now)});
  }
}

// The engineer's switch for work at the transmitter: looked for at each signal poll, every
// 2 s, since a look at the folder costs more than judging a group.
void Checks::checkMaintenance() {
  const bool on = ::access(maintenancePath_.c_str(), F_OK) == 0;
  if (on == maintenance_) return;
  maintenance_ = on;
  for (CheckEvents* l : listeners_) l->maintenanceChanged(on);
}

void Checks::tell(const AlarmEvent& event) {
  for (CheckEvents* l : listeners_) l->alarmChanged(event);
}

}  // namespace tallowmere
