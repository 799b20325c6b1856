#pragma once

#include <optional>
#include <string>

namespace tallowmere {

struct Options {
  std::string link = "./receiver";  // where the link to the pseudo-terminal goes
  bool flood = false;               // as fast as a 115200-baud line, not the RDS rate
  std::string groupsFile;           // group lines to stream instead of a built-in station
  bool once = false;                // stop at the end of groupsFile instead of looping
  std::string recordFile;           // every byte sent is also written here
  std::string stampsFile;           // the time each line went out is written here
  bool help = false;
};

extern const char kUsage[];

// The options of a command line, or an error text in problem.
std::optional<Options> parseOptions(int argc, char** argv, std::string& problem);

}  // namespace tallowmere
