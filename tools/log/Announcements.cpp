#include "tools/log/Announcements.h"

#include <algorithm>
#include <cstdlib>

namespace tallowmere {

void AnnouncementList::add(const LogRecord& r) {
  last_ = std::max(last_, r.time);
  if (r.event == "start") {
    closeOpen(r.time, "not ended: the monitor restarted");
  } else if (r.event == "traffic" && r.field("state") == "start") {
    closeOpen(r.time, "not ended: a new one began");
    all_.push_back(
        {r.time, {}, 0, true, r.field("pi"), r.field("ps"), r.field("frequency"), "no end logged"});
    open_ = true;
  } else if (r.event == "traffic" && r.field("state") == "end" && open_) {
    Announcement& a = all_.back();
    a.end = r.time;
    a.seconds = std::strtod(r.field("duration").c_str(), nullptr);
    a.endedBy = r.field("reason");
    a.stillOn = false;
    open_ = false;
  }
}

void AnnouncementList::closeOpen(LogClock::time_point at, const std::string& endedBy) {
  if (!open_) return;
  all_.back().endedBy = endedBy;
  all_.back().stillOn = false;
  all_.back().seconds = std::chrono::duration<double>(at - all_.back().start).count();
  open_ = false;
}

std::vector<Announcement> AnnouncementList::finished(const LogOptions& o) {
  if (open_) all_.back().seconds = std::chrono::duration<double>(last_ - all_.back().start).count();
  std::vector<Announcement> shown;
  for (const Announcement& a : all_) {
    if ((o.since && a.start < *o.since) || (o.until && a.start > *o.until) || a.seconds < o.minSeconds)
      continue;
    shown.push_back(a);
  }
  return shown;
}

void printAnnouncements(std::FILE* out, const std::vector<Announcement>& list, bool utc) {
  std::fprintf(out, "%-19s  %-19s  %9s  %-4s  %-8s  %-9s  %s\n", "start", "end", "duration", "PI", "PS",
               "frequency", "ended by");
  std::size_t count = 0;
  double seconds = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Announcement& a = list[i];
    const std::string end = a.end ? shownTime(*a.end, utc) : "-";
    char duration[32];
    std::snprintf(duration, sizeof duration, "%s%.1f s", a.stillOn ? ">= " : "", a.seconds);
    std::fprintf(out, "%-19s  %-19s  %9s  %-4s  %-8s  %-9s  %s\n", shownTime(a.start, utc).c_str(),
                 end.c_str(), duration, a.pi.c_str(), a.ps.c_str(), a.frequency.c_str(), a.endedBy.c_str());
    ++count;
    seconds += a.seconds;
    const std::string day = shownDay(a.start, utc);
    if (i + 1 == list.size() || shownDay(list[i + 1].start, utc) != day) {
      std::fprintf(out, "%s: %zu announcement%s, %.1f s in all\n", day.c_str(), count, count == 1 ? "" : "s",
                   seconds);
      count = 0;
      seconds = 0;
    }
  }
}

}  // namespace tallowmere
