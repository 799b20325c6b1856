// tallowmere-sim: a simulated FM/RDS receiver on a pseudo-terminal.
#include <cstdio>

#include "tools/sim/Options.h"
#include "tools/sim/Simulator.h"

int main(int argc, char** argv) {
  std::string problem;
  const std::optional<tallowmere::Options> options = tallowmere::parseOptions(argc, argv, problem);
  if (!options) {
    std::fprintf(stderr, "tallowmere-sim: %s\n\n%s", problem.c_str(), tallowmere::kUsage);
    return 2;
  }
  if (options->help) {
    std::fputs(tallowmere::kUsage, stdout);
    return 0;
  }
  return tallowmere::runSimulator(*options);
}
