#include "tests/support/Stations.h"

#include <fstream>

namespace tallowmere::test {

std::vector<std::string> TestStation::radioText(std::string_view airText, int rounds) const {
  std::vector<std::string> lines;
  for (int round = 0; round < rounds; ++round) {
    for (int segment = 0; segment < 16; ++segment) lines.push_back(rtLine(false, segment, airText));
  }
  return lines;
}

std::vector<std::string> captureLines(const std::string& station) {
  std::vector<std::string> lines;
  std::ifstream in(std::string(CAPTURES_DIR) + "/" + station + ".groups", std::ios::binary);
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  return lines;
}

}  // namespace tallowmere::test
