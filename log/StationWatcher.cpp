#include "log/StationWatcher.h"

#include <cstdlib>

#include "rds/ProgrammeTypes.h"
#include "station/Countries.h"
#include "station/StationJson.h"

namespace tallowmere {
namespace {

constexpr int kLevelStepDb = 6;
constexpr auto kClockInterval = std::chrono::hours(1);

// The offset in hours as the window shows it: "2", "-1.5", "0".
std::string offsetText(int offsetHalfHours) {
  const int magnitude = std::abs(offsetHalfHours);
  return (offsetHalfHours < 0 ? "-" : "") + std::to_string(magnitude / 2) + (magnitude % 2 == 1 ? ".5" : "");
}

}  // namespace

void StationWatcher::groupDecoded(const GroupRecord& g, const DecoderState& s) {
  piOfGroup_ = g.blockA();
  psBuffer_ = s.psBuffer;
  if (s.tmcSeen == 1 && !logged_.tmc) {
    logged_.tmc = true;
    write_(line("tmc").text("pi", logged_.pi));
  }
}

void StationWatcher::piChanged(const Station& s) {
  logged_.pi = hexText(*s.pi, 4);
  write_(line("pi").text("pi", logged_.pi));
}

void StationWatcher::ptyChanged(const Station& s) {
  write_(line("pty").text("pty", programmeTypeCaption(*s.pty)));
}

void StationWatcher::psChanged(const Station& s) {
  logged_.ps = *s.ps;
  write_(line("ps").stationText("ps", logged_.ps));
}

// A text newly confirmed on the flag in use; a toggle alone brings back the flag's old
// text, which is no news.
void StationWatcher::radioTextChanged(const Station& s) {
  const auto seen = logged_.radioTextOfFlag;
  logged_.radioTextOfFlag = s.radioText;
  if (!s.radioTextFlag) return;
  const auto flag = static_cast<std::size_t>(*s.radioTextFlag);
  const auto& text = s.radioText[flag];
  if (!text || text == seen[flag] || text->empty() || *text == logged_.radioText) return;
  logged_.radioText = *text;
  write_(line("radiotext").stationText("text", logged_.radioText));
}

// Once an hour while the station sends its clock.
void StationWatcher::clockChanged(const Station& s) {
  const WallTime now = clock_.now();
  if (logged_.lastClock && now - *logged_.lastClock < kClockInterval) return;
  logged_.lastClock = now;
  const StationClock& c = *s.clock;
  std::string utc = clockLocalText({c.modifiedJulianDay, c.hour, c.minute, 0});
  utc.replace(utc.size() - 4, 3, "");  // "...T14:55Z": no seconds
  const double difference = std::chrono::duration<double>(clockUtc(c) - now).count();
  write_(line("clock")
             .text("station_utc", utc)
             .text("station_offset", offsetText(c.offsetHalfHours))
             .seconds("difference", difference));
}

void StationWatcher::alternativeFrequenciesChanged(const Station& s) {
  if (!s.af) return;
  std::string af;
  appendAfJson(af, *s.af);
  write_(line("af").json("af", af));
}

void StationWatcher::eccChanged(const Station& s) {
  LogLine event = line("ecc").text("ecc", hexText(static_cast<unsigned>(*s.ecc), 2));
  if (s.pi && !countryCode(*s.pi, *s.ecc).empty()) event.text("country", countryCode(*s.pi, *s.ecc));
  write_(event);
}

void StationWatcher::languageChanged(const Station& s) {
  const std::string_view name = languageName(*s.language);
  write_(line("language")
             .text("language", name.empty() ? hexText(static_cast<unsigned>(*s.language), 2) : name));
}

void StationWatcher::programmeItemChanged(const Station& s) {
  if (!s.pin) return;
  std::string pin;
  appendPinJson(pin, *s.pin);
  write_(line("pin").json("pin", pin));
}

void StationWatcher::trafficChanged(int state) {
  if (state == 1 && !announcement_) {
    // The station's facts, or the window's PI and PS buffer while they are not known.
    const std::string& pi = logged_.pi.empty() ? piOfGroup_ : logged_.pi;
    const std::string& ps = logged_.ps.empty() ? psBuffer_ : logged_.ps;
    announcement_ = Announcement{clock_.now(), pi, ps, frequency_};
    write_(line("traffic")
               .text("state", "start")
               .text("pi", pi)
               .stationText("ps", ps)
               .text("frequency", frequency_));
  } else if (state == 0) {
    endAnnouncement("station");
  }
}

void StationWatcher::endAnnouncement(std::string_view reason) {
  if (!announcement_) return;
  const Announcement a = *announcement_;
  announcement_.reset();
  write_(line("traffic")
             .text("state", "end")
             .text("pi", a.pi)
             .stationText("ps", a.ps)
             .text("frequency", a.frequency)
             .seconds("duration", std::chrono::duration<double>(clock_.now() - a.start).count())
             .text("reason", reason));
}

void StationWatcher::statusRead(const StatusReading& reading) {
  std::optional<LogLine> signal;
  auto event = [&]() -> LogLine& {
    if (!signal) signal.emplace(line("signal"));
    return *signal;
  };
  if (reading.stereo != StatusReading::Stereo::Unknown) {
    const bool stereo = reading.stereo == StatusReading::Stereo::Stereo;
    if (logged_.stereo != stereo) event().boolean("stereo", stereo);
    logged_.stereo = stereo;
  }
  const auto level = levelDbuv(reading);
  if (level && (!logged_.level || std::abs(*level - *logged_.level) >= kLevelStepDb)) {
    logged_.level = level;
    event().integer("level_dbuv", *level);
  }
  if (signal) write_(*signal);
}

}  // namespace tallowmere
