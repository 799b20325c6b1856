// tallowmere-log: the station log for people and scripts.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tools/log/Announcements.h"
#include "tools/log/LogRecord.h"
#include "tools/log/Options.h"

namespace {

using namespace tallowmere;
namespace fs = std::filesystem;

constexpr char kUsage[] =
    "Usage: tallowmere-log [OPTION...]\n"
    "\n"
    "Prints the station log that the Tallowmere monitor writes in log/ of its working\n"
    "folder (one file of JSON lines per UTC day): by default today's events as text.\n"
    "\n"
    "  --folder DIR       the log folder (default ./log)\n"
    "  --since WHEN       from WHEN on; WHEN is YYYY-MM-DD or YYYY-MM-DD HH:MM[:SS]\n"
    "  --until WHEN       up to WHEN (a date alone: up to the end of that day)\n"
    "  --utc              WHEN is UTC and times are shown in UTC (default: local time)\n"
    "  --event LIST       only these events, e.g. traffic,ps,radiotext\n"
    "  --json             the lines as stored\n"
    "  --follow           keep printing events as they are logged\n"
    "  --announcements    one row per traffic announcement (start, end, duration, PI, PS,\n"
    "                     frequency, how it ended) and a total per day, by the day it\n"
    "                     started; the whole log unless --since or --until say otherwise\n"
    "  --min-seconds N    with --announcements: leave out those shorter than N seconds\n"
    "  --help             prints this text\n"
    "\n"
    "Events: start, stop, receiver, tune, volume, pi, ps, pty, radiotext, af, ecc, pin,\n"
    "language, traffic, tmc, signal, clock, alarm, maintenance, file, diagnostic, log_full.\n"
    "Exit status: 0; 2 for a bad option or date, a missing folder, or a line that is not\n"
    "valid JSON (it is skipped and named on stderr, the rest is printed).\n";

// The day files of the folder in order, each with its UTC day.
std::vector<std::pair<std::string, fs::path>> dayFiles(const std::string& folder) {
  static const std::regex name(R"(\d{4}-\d{2}-\d{2}\.jsonl)");
  std::vector<std::pair<std::string, fs::path>> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string file = it->path().filename().string();
    if (std::regex_match(file, name)) files.emplace_back(file.substr(0, 10), it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class LogPrinter {
 public:
  explicit LogPrinter(const LogOptions& o) : o_(o) {}

  // Reads the complete lines of a file from `offset` on; returns where the next read starts.
  std::streamoff read(const fs::path& path, std::streamoff offset, long& lineNumber) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    std::string line;
    while (std::getline(in, line)) {
      if (in.eof()) break;  // a line still being written has no LF yet
      offset += static_cast<std::streamoff>(line.size()) + 1;
      handle(path, ++lineNumber, line);
    }
    return offset;
  }
  bool sawBadLine() const { return bad_; }
  AnnouncementList& announcements() { return announcements_; }

 private:
  void handle(const fs::path& path, long lineNumber, const std::string& line) {
    const ParsedLine parsed = parseLogLine(line);
    if (!parsed.record) {
      std::fprintf(stderr, "tallowmere-log: %s:%ld: not a valid log line (%s); skipped\n", path.c_str(),
                   lineNumber, parsed.problem.c_str());
      bad_ = true;
      return;
    }
    const LogRecord& r = *parsed.record;
    if (o_.announcements) {
      announcements_.add(r);
      return;
    }
    if ((o_.since && r.time < *o_.since) || (o_.until && r.time > *o_.until)) return;
    if (!o_.events.empty() && !o_.events.contains(r.event)) return;
    if (o_.json) {
      std::printf("%s\n", line.c_str());
    } else {
      std::string text = shownTime(r.time, o_.utc) + "  " + r.event;
      text.resize(std::max(text.size(), std::size_t{33}), ' ');
      for (const auto& [key, value] : r.fields) {
        if (key == "raw") continue;  // the text beside it shows it
        // A text with blanks is quoted; an object or list (the AF list) shows as logged.
        const bool nested = value.starts_with('{') || value.starts_with('[');
        const bool quote = value.empty() || (value.find(' ') != std::string::npos && !nested);
        text += " " + key + "=" + (quote ? "\"" + value + "\"" : value);
      }
      std::printf("%s\n", text.c_str());
    }
    std::fflush(stdout);
  }

  const LogOptions& o_;
  AnnouncementList announcements_;
  bool bad_ = false;
};

// Prints what today's file gains, moving to the next file when a new UTC day begins.
[[noreturn]] void follow(LogPrinter& printer, const std::string& folder, std::string day,
                         std::streamoff offset, long lineNumber) {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const fs::path path = fs::path(folder) / (day + ".jsonl");
    offset = printer.read(path, offset, lineNumber);
    const std::string today = shownDay(LogClock::now(), true);
    if (today != day && fs::exists(fs::path(folder) / (today + ".jsonl"))) {
      printer.read(path, offset, lineNumber);
      day = today;
      offset = 0;
      lineNumber = 0;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  ParsedOptions parsed = parseLogOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "tallowmere-log: %s\nTry \"tallowmere-log --help\".\n", parsed.error.c_str());
    return 2;
  }
  LogOptions& o = parsed.options;
  if (o.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::error_code ec;
  if (!fs::is_directory(o.folder, ec)) {
    std::fprintf(stderr,
                 "tallowmere-log: there is no log folder %s; the monitor writes log/ in its working folder "
                 "(give another one with --folder)\n",
                 o.folder.c_str());
    return 2;
  }
  if (!o.since && !o.until && !o.announcements) {
    const std::string today = shownDay(LogClock::now(), o.utc);
    o.since = readDateTime(today, o.utc, false);
    o.until = o.follow ? std::nullopt : readDateTime(today, o.utc, true);
  }
  LogPrinter printer(o);
  const std::string today = shownDay(LogClock::now(), true);
  std::streamoff todayOffset = 0;
  long todayLines = 0;
  for (const auto& [day, path] : dayFiles(o.folder)) {
    // A UTC day file can hold a local day's first or last hours; an announcement can end
    // on a later day.
    const auto dayStart = readDateTime(day, true, false);
    const bool afterRange = o.until && *dayStart > *o.until && !o.announcements;
    if ((o.since && *dayStart + std::chrono::hours(24) < *o.since) || afterRange) continue;
    long lineNumber = 0;
    const std::streamoff end = printer.read(path, 0, lineNumber);
    if (day == today) {
      todayOffset = end;
      todayLines = lineNumber;
    }
  }
  if (o.announcements) printAnnouncements(stdout, printer.announcements().finished(o), o.utc);
  if (o.follow) follow(printer, o.folder, today, todayOffset, todayLines);
  return printer.sawBadLine() ? 2 : 0;
}
