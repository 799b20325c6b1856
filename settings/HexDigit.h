#pragma once

namespace tallowmere {

// The value of a hexadecimal digit of either letter case, or -1 for any other character.
constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The window's own rule for the digits it converts one by one: upper case only, so a
// lower-case letter is no digit there.
constexpr int upperHexDigitValue(char c) {
  return c >= 'a' && c <= 'f' ? -1 : hexDigitValue(c);
}

}  // namespace tallowmere
