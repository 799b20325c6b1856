#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tallowmere {

// One RDS group: blocks A to D, 16 bits each, without check words (the receiver has
// already corrected and stripped them).
struct Group {
  std::array<std::uint16_t, 4> blocks{};
};

// What every group of a station carries: the PI in block A, TP and PTY in block B.
struct Programme {
  std::uint16_t pi = 0;
  bool tp = false;
  int pty = 0;
};

// A version A group of the given type: block B holds the type, version bit 0, TP, PTY
// and the five bits particular to the type.
Group versionAGroup(const Programme& programme, int type, unsigned typeBits, std::uint16_t blockC,
                    std::uint16_t blockD);

// Two characters as one block, the first in the high byte.
std::uint16_t characterPair(char first, char second);

// The group as the receiver sends it: ">>> AAAA:BBBB:CCCC:DDDD<" CR LF, upper-case hex.
std::string groupLine(const Group& group);

}  // namespace tallowmere
