#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowmere {

// A decimal number as typed: sign, digits before and after the point, blanks removed.
// Kept as digits so that rounding works on the decimal digits the operator typed, not on
// their nearest binary value.
struct DecimalText {
  bool negative = false;
  std::string integerDigits;   // without leading zeros
  std::string fractionDigits;  // as typed, trailing zeros included

  double value() const;
};

// The leading number of a box's text: blanks are ignored anywhere, then an optional sign,
// digits with at most one "."; reading stops at the first character that cannot continue
// the number, and a text without a leading number reads as 0. No exponent is read.
DecimalText readLeadingNumber(std::string_view text);

// The whole text as a number (blanks ignored anywhere), or nothing when any other
// character stands in it or it holds no digit.
std::optional<DecimalText> readWholeNumber(std::string_view text);

// Rounds to a whole number, a value exactly halfway going to the even neighbour. Nothing
// when the result lies outside the 16-bit range.
std::optional<int> roundHalfEvenToInt16(const DecimalText& number);

// The number in hundredths, halves rounded away from zero on the typed digits; nothing
// when it does not fit in a long long.
std::optional<long long> roundToHundredths(const DecimalText& number);

bool isBlank(char c);

}  // namespace tallowmere
