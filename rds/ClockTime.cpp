#include <array>
#include <chrono>

#include "rds/Decoders.h"

namespace tallowmere {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

// The last two decimal digits of a number, as "00" followed by the number would give.
void appendTwoDigits(std::string& out, int n) {
  n %= 100;
  out.push_back(static_cast<char>('0' + n / 10));
  out.push_back(static_cast<char>('0' + n % 10));
}

std::string timeText(int hour, int minute) {
  std::string text;
  appendTwoDigits(text, hour);
  text.push_back(':');
  appendTwoDigits(text, minute);
  return text;
}

// Local time from the coded UTC time and the offset in half hours. A valid time is
// shifted by the offset across midnight too; an out-of-range coded time is shown as
// coded, shifted only by a whole-hour offset that keeps the hour within the day.
std::string localTimeText(int hourUtc, int minuteUtc, int offsetHalfHours) {
  if (hourUtc <= 23 && minuteUtc <= 59) {
    const int minutes = hourUtc * 60 + minuteUtc + offsetHalfHours * 30;
    const int local = ((minutes % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
    return timeText(local / 60, local % 60);
  }
  if (offsetHalfHours % 2 == 0) {
    const int hour = hourUtc + offsetHalfHours / 2;
    if (hour >= 0 && hour <= 23) return timeText(hour, minuteUtc);
  }
  return timeText(hourUtc, minuteUtc);
}

std::string offsetText(int offsetHalfHours) {
  if (offsetHalfHours == 0) return "0";
  std::string text = offsetHalfHours < 0 ? "-" : "";
  const int magnitude = offsetHalfHours < 0 ? -offsetHalfHours : offsetHalfHours;
  text += std::to_string(magnitude / 2);
  if (magnitude % 2 == 1) text += ".5";
  return text;
}

// The Modified Julian Day as the Gregorian date YYYY-MM-DD.
std::string dateText(int modifiedJulianDay) {
  using namespace std::chrono;
  constexpr int kMjdOfUnixEpoch = 40587;  // 1970-01-01
  const year_month_day date{sys_days{days{modifiedJulianDay - kMjdOfUnixEpoch}}};
  const int y = static_cast<int>(date.year());
  std::string text;
  appendTwoDigits(text, y / 100);
  appendTwoDigits(text, y);
  text.push_back('-');
  appendTwoDigits(text, static_cast<int>(static_cast<unsigned>(date.month())));
  text.push_back('-');
  appendTwoDigits(text, static_cast<int>(static_cast<unsigned>(date.day())));
  return text;
}

}  // namespace

// The 36 bits from the last digit of block B through block D: 2 spare bits, the 17-bit
// Modified Julian Day, the UTC hour (5) and minute (6), the offset sign and the offset
// in half hours (5).
void decodeClockTime(const GroupRecord& g, GroupValues& v, DisplayModel& w) {
  if (g.groupType() != "4A") return;
  w.light(Field::lblshowCT);

  std::array<char, 36> clockBits{};
  std::size_t length = 0;
  for (int position = 10; position <= 18; ++position) {
    v.nibbles.HexDigitToBits(g.hexAt(position));
    for (char bit : v.nibbles.nibbleBits()) clockBits[length++] = bit;
  }
  const std::string_view bits(clockBits.data(), length);
  auto field = [bits](std::size_t from, std::size_t to) {
    return from > bits.size() ? std::string_view{} : bits.substr(from - 1, to - from + 1);
  };
  const int minuteUtc = BinToDec(field(25, 30));
  const int hourUtc = BinToDec(field(20, 24));
  const bool negative = field(31, 31) == "1";
  const int halfHours = BinToDec(field(32, 36));
  const int offsetHalfHours = negative ? -halfHours : halfHours;

  w.setText(Field::lblClockTime, localTimeText(hourUtc, minuteUtc, offsetHalfHours));
  w.setText(Field::lblCToffset, offsetText(offsetHalfHours));
  w.setText(Field::lblUTCtime, timeText(hourUtc, minuteUtc));
  w.setText(Field::lblUTCdate, dateText(BinToDec(field(3, 19))));
}

}  // namespace tallowmere
