#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tallowmere {

// One received RDS group, cut from a group line '>>> AAAA:BBBB:CCCC:DDDD<'. It lives for
// one receive event.
struct GroupRecord {
  // "FF" and the four blocks of four characters each, letter case as received.
  std::array<char, 18> groupHex;
  // The character of code 255, then the eight bytes of blocks A to D; only when every
  // block holds hexadecimal digits alone.
  std::array<char, 9> groupBytes;
  bool bytesBuilt = false;
  char groupVersion = '?';  // 'A', 'B' or '?'
  int typeNumber = 0;       // 0 to 15

  // Character n of groupHex, counted from 1 (3 to 6 block A, 7 to 10 block B, ...).
  char hexAt(int position) const { return groupHex[static_cast<std::size_t>(position - 1)]; }
  std::string_view hex() const { return {groupHex.data(), groupHex.size()}; }
  std::string_view bytes() const { return {groupBytes.data(), groupBytes.size()}; }
  std::string_view blockA() const { return hex().substr(2, 4); }
  std::string_view blockD() const { return hex().substr(14, 4); }
  // The group type as decoders compare it: "0A" to "15B", or a number followed by "?".
  std::string_view groupType() const { return {typeText_.data(), typeLength_}; }
  // 0 to 15 for "0A" to "15A", 16 to 31 for "0B" to "15B"; none for a "?" version.
  std::optional<int> presenceIndex() const;

  std::array<char, 3> typeText_{};
  std::size_t typeLength_ = 0;
};

// Cuts a chunk that begins with ">>> " into a group record. Characters of code 32 or
// below belong to no block; ":" moves to the next block; "<" ends block D (before block D
// it is an ordinary character); each block keeps its last four characters, padded with
// "0" on the left when shorter.
GroupRecord cutGroupLine(std::string_view rxText);

}  // namespace tallowmere
