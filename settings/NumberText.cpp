#include "settings/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tallowmere {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

struct Scan {
  DecimalText number;
  bool sawDigit = false;
  std::size_t stop = 0;  // index of the first character not taken
};

Scan scanNumber(std::string_view text) {
  Scan scan;
  bool signAllowed = true;
  bool inFraction = false;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (isBlank(c)) continue;
    if (signAllowed && (c == '+' || c == '-')) {
      scan.number.negative = c == '-';
      signAllowed = false;
    } else if (isDigit(c)) {
      signAllowed = false;
      scan.sawDigit = true;
      if (inFraction) {
        scan.number.fractionDigits.push_back(c);
      } else if (c != '0' || !scan.number.integerDigits.empty()) {
        scan.number.integerDigits.push_back(c);
      }
    } else if (c == '.' && !inFraction) {
      signAllowed = false;
      inFraction = true;
    } else {
      break;
    }
  }
  scan.stop = i;
  return scan;
}

}  // namespace

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

double DecimalText::value() const {
  std::string text = integerDigits.empty() ? "0" : integerDigits;
  if (!fractionDigits.empty()) text += "." + fractionDigits;
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    v = integerDigits.empty() ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return negative ? -v : v;
}

DecimalText readLeadingNumber(std::string_view text) {
  Scan scan = scanNumber(text);
  if (!scan.sawDigit) return DecimalText{};
  return scan.number;
}

std::optional<DecimalText> readWholeNumber(std::string_view text) {
  Scan scan = scanNumber(text);
  if (!scan.sawDigit || scan.stop != text.size()) return std::nullopt;
  return scan.number;
}

std::optional<int> roundHalfEvenToInt16(const DecimalText& number) {
  if (number.integerDigits.size() > 5) return std::nullopt;
  long whole = number.integerDigits.empty() ? 0 : std::stol(number.integerDigits);
  const std::string& f = number.fractionDigits;
  if (!f.empty()) {
    const bool aboveHalf = f[0] > '5' || (f[0] == '5' && f.find_first_not_of('0', 1) != std::string::npos);
    const bool exactlyHalf = f[0] == '5' && !aboveHalf;
    if (aboveHalf || (exactlyHalf && whole % 2 == 1)) ++whole;
  }
  if (number.negative) whole = -whole;
  if (whole < std::numeric_limits<short>::min() || whole > std::numeric_limits<short>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(whole);
}

std::optional<long long> roundToHundredths(const DecimalText& number) {
  if (number.integerDigits.size() > 15) return std::nullopt;
  long long hundredths = number.integerDigits.empty() ? 0 : std::stoll(number.integerDigits);
  const std::string& f = number.fractionDigits;
  for (std::size_t i = 0; i < 2; ++i) hundredths = hundredths * 10 + (i < f.size() ? f[i] - '0' : 0);
  if (f.size() > 2 && f[2] >= '5') ++hundredths;
  return number.negative ? -hundredths : hundredths;
}

}  // namespace tallowmere
