#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/GroupEncoder.h"

namespace tallowmere::test {

// Group lines of a station, built with the simulated receiver's encoder.
struct TestStation {
  Programme programme{0xD42A, true, 10};
  SwitchingFlags flags;
  std::string ps = "TALLOWME";

  std::string psLine(int segment) const {
    return groupLine(basicTuningGroup(programme, flags, segment, ps, 0xE0CD));
  }
  std::string rtLine(bool textB, int segment, std::string_view airText) const {
    return groupLine(radioTextGroup(programme, textB, segment, airText));
  }
  std::string typeLine(int type, unsigned typeBits = 0, std::uint16_t c = 0, std::uint16_t d = 0) const {
    return groupLine(versionAGroup(programme, type, typeBits, c, d));
  }
  // Every group of a 64-character text, `rounds` times over.
  std::vector<std::string> radioText(std::string_view airText, int rounds = 2) const;
};

// The lines of a real capture, or nothing when the captures are not on this machine.
std::vector<std::string> captureLines(const std::string& station);

}  // namespace tallowmere::test
