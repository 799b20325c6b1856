#include "tools/sim/GroupFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace tallowmere {

std::string readGroupFile(const std::string& path, std::vector<std::string>& lines) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return path + ": " + std::strerror(errno);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  if (in.bad()) return path + ": cannot be read";
  if (lines.empty()) return path + ": holds no lines";
  return {};
}

}  // namespace tallowmere
