#include "tools/log/Options.h"

#include <cstdio>
#include <ctime>
#include <regex>

#include "log/LogEvents.h"

namespace tallowmere {
namespace {

std::time_t toTimeT(std::tm& tm, bool utc) {
  return utc ? ::timegm(&tm) : std::mktime(&tm);
}

std::tm brokenDown(LogClock::time_point time, bool utc) {
  const std::time_t t = LogClock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
  std::tm tm{};
  if (utc) {
    ::gmtime_r(&t, &tm);
  } else {
    ::localtime_r(&t, &tm);
  }
  return tm;
}

// Options that take a value; the value is the next argument.
bool takesValue(const std::string& arg) {
  return arg == "--since" || arg == "--until" || arg == "--event" || arg == "--min-seconds" ||
         arg == "--folder";
}

}  // namespace

std::string knownEvents() {
  std::string list;
  for (const std::string_view event : kLogEvents) list.append(list.empty() ? "" : ", ").append(event);
  return list;
}

std::optional<LogClock::time_point> readDateTime(const std::string& text, bool utc, bool endOfDay) {
  static const std::regex form(R"((\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2}))?)?)");
  std::smatch m;
  if (!std::regex_match(text, m, form)) return {};
  const auto number = [&m](int i) { return m[i].matched ? std::stoi(m[i].str()) : 0; };
  const int y = number(1), mo = number(2), d = number(3), h = number(4), mi = number(5), s = number(6);
  const bool hasTime = m[4].matched;
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  const std::tm asGiven = tm;
  const std::time_t t = toTimeT(tm, utc);
  if (t == -1 || tm.tm_mday != asGiven.tm_mday || tm.tm_mon != asGiven.tm_mon || h > 23 || mi > 59 ||
      s > 59) {
    return {};
  }
  auto time = LogClock::from_time_t(t);
  if (!hasTime && endOfDay) {
    std::tm next = asGiven;
    next.tm_mday += 1;
    time = LogClock::from_time_t(toTimeT(next, utc)) - std::chrono::milliseconds(1);
  } else if (hasTime && endOfDay) {
    time += std::chrono::milliseconds(999);
  }
  return time;
}

std::string shownTime(LogClock::time_point time, bool utc) {
  const std::tm tm = brokenDown(time, utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

std::string shownDay(LogClock::time_point time, bool utc) {
  return shownTime(time, utc).substr(0, 10);
}

ParsedOptions parseLogOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  LogOptions& o = parsed.options;
  std::string since, until;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (takesValue(arg) && i + 1 >= args.size()) return {o, arg + " needs a value"};
    const std::string value = takesValue(arg) ? args[++i] : std::string();
    if (arg == "--help") {
      o.help = true;
    } else if (arg == "--utc") {
      o.utc = true;
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--follow") {
      o.follow = true;
    } else if (arg == "--announcements") {
      o.announcements = true;
    } else if (arg == "--folder") {
      o.folder = value;
    } else if (arg == "--since") {
      since = value;
    } else if (arg == "--until") {
      until = value;
    } else if (arg == "--event") {
      for (std::size_t from = 0; from <= value.size();) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        const std::string event = value.substr(from, comma - from);
        if (!event.empty() && !isLogEvent(event))
          return {o, "--event: no event is called \"" + event + "\"; the events are " + knownEvents()};
        if (!event.empty()) o.events.insert(event);
        from = comma + 1;
      }
    } else if (arg == "--min-seconds") {
      char* end = nullptr;
      o.minSeconds = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || o.minSeconds < 0)
        return {o, "--min-seconds takes a number of seconds"};
    } else {
      return {o, "unexpected argument '" + arg + "'"};
    }
  }
  const char* form = " is not a date (YYYY-MM-DD) or date and time (YYYY-MM-DD HH:MM[:SS])";
  if (!since.empty() && !(o.since = readDateTime(since, o.utc, false)))
    return {o, "--since \"" + since + "\"" + form};
  if (!until.empty() && !(o.until = readDateTime(until, o.utc, true)))
    return {o, "--until \"" + until + "\"" + form};
  return parsed;
}

}  // namespace tallowmere
