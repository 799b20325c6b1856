#include "remote/StateJson.h"

#include <algorithm>

#include "display/JsonDump.h"
#include "log/LogLine.h"
#include "remote/ChecksJson.h"
#include "station/StationJson.h"

namespace tallowmere {

std::string receiverJson(const MonitorStatus& status) {
  std::string out =
      status.connected ? "{\"connected\": true, \"device\": " : "{\"connected\": false, \"device\": ";
  appendJsonText(out, status.device);
  out += ", \"frequency\": ";
  appendJsonText(out, status.frequency);
  out += ", \"title\": ";
  appendJsonText(out, status.title);
  return out + "}";
}

std::string monitorJson(const MonitorStatus& status) {
  std::string out = "{\"version\": ";
  appendJsonText(out, status.version);
  out += ", \"uptime\": ";
  appendFixed(out, status.uptimeSeconds, 1);
  out += ", \"started\": \"" + timeStamp(status.started) + "\"";
  return out + "}";
}

std::string countersJson(const MonitorStatus& status) {
  const ReceptionCounters& c = status.counters;
  std::string out = "{\"groups\": " + std::to_string(c.groups()) +
                    ", \"uncut\": " + std::to_string(c.uncut()) + ", \"byType\": {";
  bool first = true;
  for (std::size_t type = 0; type < ReceptionCounters::kTypeCount; ++type) {
    if (c.groupsOfType(type) == 0) continue;
    if (!first) out += ", ";
    first = false;
    out += '"';
    out += ReceptionCounters::typeName(type);
    out += "\": ";
    out += std::to_string(c.groupsOfType(type));
  }
  out += "}, \"secondsSinceLastGroup\": ";
  if (const auto since = c.secondsSinceLastGroup(status.nowSeconds)) {
    appendFixed(out, *since, 1);
  } else {
    out += "null";
  }
  return out + "}";
}

std::string stateJson(const MonitorStatus& status) {
  std::string out = "{\"fields\": ";
  appendFieldsJson(out, status.fields, FieldText::WithShown);
  out += ", \"decoded\": " + std::to_string(status.decoded);
  out += ", \"receiver\": " + receiverJson(status);
  out += ", \"monitor\": " + monitorJson(status);
  out += ", \"counters\": " + countersJson(status);
  out += ", \"station\": ";
  appendStationJson(out, status.station.station());
  if (status.checks != nullptr) {
    out += ", \"checks\": ";
    appendChecksJson(out, *status.checks);
  }
  return out + "}";
}

std::string samplesJson(const ReceptionCounters& counters, long long first) {
  const auto& samples = counters.samples();
  const long long oldest = counters.samplesTaken() - static_cast<long long>(samples.size());
  std::string out = "[";
  for (std::size_t i = static_cast<std::size_t>(std::max(first - oldest, 0LL)); i < samples.size(); ++i) {
    const auto& s = samples[i];
    if (out.size() > 1) out += ", ";
    out += '[';
    out += std::to_string(s.unixSeconds);
    out += ", ";
    out += s.level ? std::to_string(*s.level) : "null";
    out += ", ";
    appendFixed(out, s.groupsPerSecond, 1);
    out += "]";
  }
  return out + "]";
}

}  // namespace tallowmere
