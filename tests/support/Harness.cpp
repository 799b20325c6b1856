#include "tests/support/Harness.h"

namespace tallowmere::test {

void FakeClock::advanceTo(long ms) {
  for (;;) {
    auto next = due_.end();
    for (auto it = due_.begin(); it != due_.end(); ++it) {
      if (it->second.atMs <= ms && (next == due_.end() || it->second.atMs < next->second.atMs)) next = it;
    }
    if (next == due_.end()) break;
    const TimerId id = next->first;
    port_.now = now_ = next->second.atMs;
    next->second.atMs += next->second.intervalMs;
    form_.onTimer(id);
  }
  port_.now = now_ = ms;
}

std::string Harness::file(std::string_view name) const {
  const auto it = files.files.find(name);
  return it == files.files.end() ? "(none)" : it->second;
}

std::vector<std::string> Harness::sentLines() const {
  std::vector<std::string> lines;
  for (const auto& [at, line] : port.sent) lines.push_back(line);
  return lines;
}

std::string hexLine(std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
  std::string line = ">>> ";
  line.append(a).append(":").append(b).append(":").append(c).append(":").append(d).append("<\r\n");
  return line;
}

}  // namespace tallowmere::test
