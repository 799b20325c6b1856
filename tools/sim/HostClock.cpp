#include "tools/sim/HostClock.h"

#include <ctime>

namespace tallowmere {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

int minuteOfDay(const std::tm& t) {
  return t.tm_hour * 60 + t.tm_min;
}

// Local time minus UTC in minutes, from the two broken-down times: they lie less than a
// day apart, so comparing the dates gives the day's share.
int offsetMinutes(const std::tm& local, const std::tm& utc) {
  int days = 0;
  if (local.tm_year != utc.tm_year) {
    days = local.tm_year > utc.tm_year ? 1 : -1;
  } else if (local.tm_yday != utc.tm_yday) {
    days = local.tm_yday > utc.tm_yday ? 1 : -1;
  }
  return days * kMinutesPerDay + minuteOfDay(local) - minuteOfDay(utc);
}

}  // namespace

WallClock hostClock() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  std::tm utc{};
  ::localtime_r(&now, &local);
  ::gmtime_r(&now, &utc);
  const int offset = offsetMinutes(local, utc);
  const int halfHours = (offset >= 0 ? offset + 15 : offset - 15) / 30;
  return WallClock{std::chrono::sys_seconds{std::chrono::seconds{now}}, halfHours};
}

}  // namespace tallowmere
