#include "tools/sim/BitField.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere {
namespace {

constexpr int kMjdOfUnixEpoch = 40587;  // 1970-01-01 as a Modified Julian Day

}  // namespace

ClockTime clockTimeAt(std::chrono::sys_seconds utc, int offsetHalfHours) {
  using namespace std::chrono;
  const sys_days day = floor<days>(utc);
  const hh_mm_ss<seconds> time{utc - day};
  return ClockTime{static_cast<int>(day.time_since_epoch().count()) + kMjdOfUnixEpoch,
                   static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                   offsetHalfHours};
}

// 37 bits from the end of block B on: 17-bit MJD (its top two bits in block B), 5-bit
// hour, 6-bit minute, offset sign and 5-bit offset in half hours.
Group clockTimeGroup(const Programme& programme, const ClockTime& time) {
  const auto mjd = static_cast<unsigned>(time.modifiedJulianDay);
  const auto hour = static_cast<unsigned>(time.hour);
  const unsigned offset =
      static_cast<unsigned>(time.offsetHalfHours < 0 ? -time.offsetHalfHours : time.offsetHalfHours);
  const auto blockC = static_cast<std::uint16_t>(bitField(mjd, 1, 15) | bitField(hour >> 4, 0, 1));
  const auto blockD =
      static_cast<std::uint16_t>(bitField(hour, 12, 4) | bitField(static_cast<unsigned>(time.minute), 6, 6) |
                                 bitFlag(time.offsetHalfHours < 0, 5) | bitField(offset, 0, 5));
  return versionAGroup(programme, 4, bitField(mjd >> 15, 0, 2), blockC, blockD);
}

}  // namespace tallowmere
