#include "remote/ChecksJson.h"

#include "display/JsonDump.h"
#include "log/LogLine.h"

namespace tallowmere {

std::string_view judgedName(Judged judged) {
  switch (judged) {
    case Judged::ok:
      return "ok";
    case Judged::failing:
      return "failing";
    case Judged::unknown:
      break;
  }
  return "unknown";
}

void appendChecksJson(std::string& out, const Checks& checks) {
  out += '{';
  bool first = true;
  for (std::size_t i = 0; i < kCheckCount; ++i) {
    const auto c = static_cast<Check>(i);
    if (!checks.settings().configured(c)) continue;
    const CheckState& state = checks.state(c);
    out += first ? "\"" : ", \"";
    first = false;
    out += checkName(c);
    out += "\": {\"judged\": \"";
    out += judgedName(state.judged);
    out += state.alarm ? "\", \"alarm\": true, \"since\": \"" : "\", \"alarm\": false, \"since\": \"";
    out += timeStamp(state.since) + "\", \"expected\": ";
    appendJsonText(out, checks.settings().expected[i]);
    out += ", \"received\": ";
    appendJsonText(out, checks.received(c));
    out += '}';
  }
  out += '}';
}

}  // namespace tallowmere
