#include "remote/ServiceStatus.h"

#include <cstdio>

#include "display/RdsCharset.h"
#include "rds/DecoderState.h"
#include "settings/TrailingBlanks.h"

namespace tallowmere {

std::string serviceStatus(const ServiceFacts& facts) {
  std::string line = facts.connected ? "receiver connected, " : "receiver not connected, ";
  line += facts.frequency.empty() ? "not tuned yet" : facts.frequency + " MHz";
  if (facts.psBytes == kEmptyPs) {
    line += ", no PS yet";
  } else {
    const std::string ps = rdsTextUtf8(facts.psBytes);
    line += ", PS ";
    line += withoutTrailingBlanks(ps);  // not the blanks that pad it to 8 characters
  }
  char rate[32];
  std::snprintf(rate, sizeof rate, ", %.1f groups/s, alarms: ", facts.groupsPerSecond);
  line += rate;
  if (facts.alarms.empty()) return line + "none";
  for (std::size_t i = 0; i < facts.alarms.size(); ++i) line += (i == 0 ? "" : ", ") + facts.alarms[i];
  return line;
}

}  // namespace tallowmere
