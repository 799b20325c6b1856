#include "log/StationWatcher.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "output/MetadataFile.h"
#include "settings/HexDigit.h"

namespace tallowmere {
namespace {

constexpr unsigned kAllPsSegments = 0xF;
constexpr int kLevelStepDb = 6;
constexpr auto kClockInterval = std::chrono::hours(1);

// The station's UTC time from the clock fields, or nothing for a time no clock shows
// (noise can give hour 28).
std::optional<WallTime> stationTime(const DisplayModel& w) {
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  int hour = 0;
  int minute = 0;
  if (std::sscanf(w[Field::lblUTCdate].text.c_str(), "%d-%u-%u", &year, &month, &day) != 3 ||
      std::sscanf(w[Field::lblUTCtime].text.c_str(), "%d:%d", &hour, &minute) != 2) {
    return {};
  }
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month},
                                         std::chrono::day{day}};
  if (!date.ok() || hour > 23 || minute > 59) return {};
  return std::chrono::sys_days{date} + std::chrono::hours(hour) + std::chrono::minutes(minute);
}

std::optional<int> levelOf(const StatusReading& reading) {
  if (!reading.rssiFound) return {};
  int level = 0;
  bool digits = false;
  for (const char c : reading.rssiText) {
    if (c >= '0' && c <= '9') {
      level = level * 10 + (c - '0');
      digits = true;
    } else if (c != ' ') {
      return {};
    }
  }
  if (!digits) return {};
  return level;
}

}  // namespace

void StationWatcher::groupDecoded(const GroupRecord& g, const DecoderState& s, const DisplayModel& w) {
  if (!g.bytesBuilt) return;  // a line with a garbled block gives no value worth keeping
  const std::string& pi = w[Field::lblPI].text;
  if (pi != station_.pi) {
    station_.pi = pi;
    write_(line("pi").text("pi", pi));
  }
  const bool group0 = g.groupType() == "0A" || g.groupType() == "0B";
  if (group0) watchPs(g, s);
  if (group0 && w[Field::lblPTY].text != station_.pty) {
    station_.pty = w[Field::lblPTY].text;
    write_(line("pty").text("pty", station_.pty));
  }
  watchRadioText(w);
  if (s.tmcSeen == 1 && !station_.tmc) {
    station_.tmc = true;
    write_(line("tmc").text("pi", station_.pi));
  }
  if (g.groupType() == "4A") watchClock(w);
  watchTraffic(s);
}

// A name is whole once each of its four segments has arrived since a segment that had
// arrived came again with other characters: the name on air changed there, by scrolling
// or noise, and is assembled anew, so no mixture of two names is logged.
void StationWatcher::watchPs(const GroupRecord& g, const DecoderState& s) {
  const int segment = std::max(hexDigitValue(g.hexAt(10)), 0) & 3;
  const unsigned bit = 1u << segment;
  const std::size_t at = 2 * static_cast<std::size_t>(segment);
  const bool changed = s.psBuffer.compare(at, 2, station_.psBuffer, at, 2) != 0;
  station_.psSegments = changed && (station_.psSegments & bit) != 0 ? bit : station_.psSegments | bit;
  station_.psBuffer = s.psBuffer;
  if (station_.psSegments != kAllPsSegments || station_.psBuffer == station_.ps) return;
  station_.ps = station_.psBuffer;
  write_(line("ps").stationText("ps", station_.ps));
}

// The text metadata.txt would take, checked at every group.
void StationWatcher::watchRadioText(const DisplayModel& w) {
  const std::string& shown = w[Field::lblRadioText].text;
  if (shown == station_.radioTextShown) return;  // most groups change nothing
  station_.radioTextShown = shown;
  auto published = metadataLine(shown);
  if (!published) return;
  published->resize(published->size() - 2);  // its CR LF
  if (published->empty() || *published == station_.radioText) return;
  station_.radioText = *published;
  write_(line("radiotext").stationText("text", station_.radioText));
}

void StationWatcher::watchClock(const DisplayModel& w) {
  const WallTime now = clock_.now();
  if (station_.lastClock && now - *station_.lastClock < kClockInterval) return;
  const auto station = stationTime(w);
  if (!station) return;
  station_.lastClock = now;
  const double difference = std::chrono::duration<double>(*station - now).count();
  write_(line("clock")
             .text("station_utc", w[Field::lblUTCdate].text + "T" + w[Field::lblUTCtime].text + "Z")
             .text("station_offset", w[Field::lblCToffset].text)
             .seconds("difference", difference));
}

void StationWatcher::watchTraffic(const DecoderState& s) {
  if (s.trafficState == 1 && !station_.announcement) {
    // The last whole name, or the buffer when none has been logged yet.
    const std::string& ps = station_.ps.empty() ? s.psBuffer : station_.ps;
    station_.announcement = Announcement{clock_.now(), station_.pi, ps, frequency_};
    write_(line("traffic")
               .text("state", "start")
               .text("pi", station_.pi)
               .stationText("ps", ps)
               .text("frequency", frequency_));
  } else if (s.trafficState == 0 && station_.announcement) {
    endAnnouncement("station");
  }
}

void StationWatcher::endAnnouncement(std::string_view reason) {
  if (!station_.announcement) return;
  const Announcement a = *station_.announcement;
  station_.announcement.reset();
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
    if (station_.stereo != stereo) event().boolean("stereo", stereo);
    station_.stereo = stereo;
  }
  const auto level = levelOf(reading);
  if (level && (!station_.level || std::abs(*level - *station_.level) >= kLevelStepDb)) {
    station_.level = level;
    event().integer("level_dbuv", *level);
  }
  if (signal) write_(*signal);
}

}  // namespace tallowmere
