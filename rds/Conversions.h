#pragma once

#include <cstdint>
#include <string_view>

namespace tallowmere {

// The four bit characters of the most recent digit converted in this receive event.
// A digit the conversion does not know (anything but "0"-"9" and "A"-"F", so also a
// lower-case letter) leaves the previous result in place, or nothing before the first.
class NibbleBits {
 public:
  void HexDigitToBits(char digit);
  std::string_view nibbleBits() const { return bits_; }
  // Character n (1 to 4) of the bits, or NUL when there are none yet.
  char bit(int n) const { return bits_.empty() ? '\0' : bits_[static_cast<std::size_t>(n - 1)]; }

 private:
  std::string_view bits_;
};

// A string of bit characters as a signed 32-bit integer: the last 31 characters give
// bits 0 to 30, and a "1" anywhere before them sets the sign bit. Characters other than
// "1" count as 0.
std::int32_t BinToDec(std::string_view bits);

}  // namespace tallowmere
