#include "settings/Diagnostics.h"

#include <cstdio>
#include <string>

namespace tallowmere {

void reportProblem(std::string_view line) {
  std::string out = "tallowmere: ";
  out.append(line);
  out.push_back('\n');
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

}  // namespace tallowmere
