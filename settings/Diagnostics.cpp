#include "settings/Diagnostics.h"

#include <cstdio>
#include <string>

namespace tallowmere {
namespace {

ProblemSink* sink = nullptr;

}  // namespace

void reportProblem(std::string_view line, ProblemKind kind) {
  std::string out = "tallowmere: ";
  out.append(line);
  out.push_back('\n');
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
  if (sink != nullptr) sink->problemReported(kind, line);
}

void setProblemSink(ProblemSink* newSink) {
  sink = newSink;
}

ProblemSink* problemSink() {
  return sink;
}

}  // namespace tallowmere
