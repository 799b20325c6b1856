#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace tallowmere::test {

// The value of a key in a station log line as written: a string without its quotation
// marks, anything else as it stands; empty when the key is not there.
inline std::string valueOf(const std::string& line, const std::string& key) {
  const std::size_t at = line.find("\"" + key + "\":");
  if (at == std::string::npos) return {};
  const std::size_t from = at + key.size() + 3;
  if (line[from] == '"') return line.substr(from + 1, line.find('"', from + 1) - from - 1);
  return line.substr(from, line.find_first_of(",}", from) - from);
}

// The lines of one day file of ./log.
inline std::vector<std::string> logLines(const std::string& day) {
  std::vector<std::string> lines;
  std::ifstream in("log/" + day + ".jsonl");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace tallowmere::test
