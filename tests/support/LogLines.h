#pragma once

#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace tallowmere::test {

// The lines of one day file of ./log, and a key's value in one of them (unquoted; empty if absent).
inline std::vector<std::string> logLines(const std::string& day) {
  std::vector<std::string> lines;
  std::ifstream in("log/" + day + ".jsonl");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string valueOf(const std::string& line, const std::string& key) {
  std::smatch m;
  return std::regex_search(line, m, std::regex("\"" + key + R"(":("?)(.*?)\1[,}])")) ? m.str(2) : "";
}

}  // namespace tallowmere::test
