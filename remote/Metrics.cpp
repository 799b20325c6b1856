#include "remote/Metrics.h"

#include <charconv>
#include <cmath>

#include "rds/ProgrammeTypes.h"
#include "remote/ReceptionCounters.h"
#include "station/Countries.h"
#include "station/StationJson.h"

namespace tallowmere {
namespace {

// Whether the bytes are UTF-8 (RFC 3629: no overlong forms, no surrogates, at most U+10FFFF).
bool validUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = i + 1; k < i + length; ++k) {
      if ((byte(k) & 0xC0) != 0x80) return false;
    }
    if (length >= 3) {
      const unsigned second = byte(i + 1);
      if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
          (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return false;
      }
    }
    i += length;
  }
  return true;
}

// A label value with the three characters the format escapes; "" for bytes that are not
// UTF-8 (noise on the serial line), since Prometheus rejects a whole scrape for one such label.
std::string labelValue(std::string_view text) {
  std::string out;
  if (!validUtf8(text)) return out;
  for (const char c : text) {
    if (c == '\\' || c == '"') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

class Exposition {
 public:
  void family(std::string_view name, std::string_view type, std::string_view help) {
    out_ += "# HELP ";
    out_ += name;
    out_ += ' ';
    out_ += help;
    out_ += "\n# TYPE ";
    out_ += name;
    out_ += ' ';
    out_ += type;
    out_ += '\n';
  }
  void sample(std::string_view name, std::string_view labels, double value) {
    out_ += name;
    if (!labels.empty()) {
      out_ += '{';
      out_ += labels;
      out_ += '}';
    }
    out_ += ' ';
    char digits[32];
    out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    out_ += '\n';
  }
  void gauge(std::string_view name, std::string_view help, double value) {
    family(name, "gauge", help);
    sample(name, "", value);
  }
  std::string take() { return std::move(out_); }

 private:
  std::string out_;
};

}  // namespace

std::string metricsText(const MonitorStatus& status, const FileHealthByName& files, WebClients clients) {
  Exposition m;
  const ReceptionCounters& c = status.counters;
  m.gauge("tallowmere_receiver_connected", "Whether the receiver's serial port is open.",
          status.connected ? 1 : 0);
  if (const auto level = c.level()) {
    m.gauge("tallowmere_signal_level_dbuv", "The signal level the receiver last reported, in dBuV.", *level);
  }
  m.gauge("tallowmere_stereo", "Whether the receiver last reported stereo.", c.stereo() ? 1 : 0);

  m.family("tallowmere_groups_total", "counter", "RDS groups received.");
  m.sample("tallowmere_groups_total", "", static_cast<double>(c.groups()));
  m.family("tallowmere_groups_by_type_total", "counter", "RDS groups received, by group type.");
  for (std::size_t type = 0; type < ReceptionCounters::kTypeCount; ++type) {
    if (c.groupsOfType(type) == 0) continue;
    m.sample("tallowmere_groups_by_type_total", "type=\"" + ReceptionCounters::typeName(type) + "\"",
             static_cast<double>(c.groupsOfType(type)));
  }
  m.family("tallowmere_uncut_group_lines_total", "counter",
           "Group lines that could not be cut into four hexadecimal blocks.");
  m.sample("tallowmere_uncut_group_lines_total", "", static_cast<double>(c.uncut()));

  const bool trafficKnown = c.trafficState() != kTrafficStateUnknown;
  m.gauge("tallowmere_traffic_announcement",
          "Whether a traffic announcement is on (0 while the state is unknown).",
          c.trafficState() == 1 ? 1 : 0);
  m.gauge("tallowmere_traffic_state_known", "Whether the traffic state is known.", trafficKnown ? 1 : 0);
  const double sinceLastGroup = c.secondsSinceLastGroup(status.nowSeconds).value_or(status.uptimeSeconds);
  m.gauge("tallowmere_seconds_since_last_group",
          "Seconds since the last RDS group (since start while none came).",
          std::round(sinceLastGroup * 1000) / 1000);

  const Station& station = status.station.station();
  if (station.pi) {
    const std::string ecc = station.ecc ? hexText(static_cast<unsigned>(*station.ecc), 2) : "";
    const std::string_view country = station.ecc ? countryCode(*station.pi, *station.ecc) : "";
    const std::string_view pty = station.pty ? programmeTypeCaption(*station.pty) : "";
    m.family("tallowmere_station_info", "gauge",
             "The station received: its PI code, programme type, extended country code and country.");
    m.sample("tallowmere_station_info",
             "pi=\"" + hexText(*station.pi, 4) + "\",pty=\"" + labelValue(pty) + "\",ecc=\"" + ecc +
                 "\",country=\"" + std::string(country) + "\"",
             1);
  }
  m.gauge("tallowmere_af_frequencies",
          "Alternative frequencies the station lists (with method B, for the frequency tuned).",
          static_cast<double>(alternativeFrequencyCount(station, status.station.tunedKhz())));
  m.gauge("tallowmere_eon_networks", "Other networks the station's EON lists (those whose PS is confirmed).",
          static_cast<double>(station.otherNetworks.size()));
  m.gauge("tallowmere_tmc_messages",
          "Distinct TMC messages (by location, event, direction and extent) since the retune.",
          station.tmc ? static_cast<double>(station.tmc->messages.size()) : 0);

  if (status.checks != nullptr) {
    m.family("tallowmere_check_alarm", "gauge", "Whether the check's alarm is raised.");
    for (std::size_t i = 0; i < kCheckCount; ++i) {
      const auto c = static_cast<Check>(i);
      if (!status.checks->settings().configured(c)) continue;
      m.sample("tallowmere_check_alarm", "check=\"" + std::string(checkName(c)) + "\"",
               status.checks->state(c).alarm ? 1 : 0);
    }
    m.family("tallowmere_check_known", "gauge", "Whether the check can be judged now (ok or failing).");
    for (std::size_t i = 0; i < kCheckCount; ++i) {
      const auto c = static_cast<Check>(i);
      if (!status.checks->settings().configured(c)) continue;
      m.sample("tallowmere_check_known", "check=\"" + std::string(checkName(c)) + "\"",
               status.checks->state(c).judged == Judged::unknown ? 0 : 1);
    }
  }

  m.family("tallowmere_output_file_writable", "gauge", "Whether the last write of an output file succeeded.");
  for (const auto& [name, health] : files) {
    m.sample("tallowmere_output_file_writable", "file=\"" + labelValue(name) + "\"", health.writable ? 1 : 0);
  }
  m.family("tallowmere_output_file_write_failures_total", "counter", "Failed writes of an output file.");
  for (const auto& [name, health] : files) {
    m.sample("tallowmere_output_file_write_failures_total", "file=\"" + labelValue(name) + "\"",
             static_cast<double>(health.failures));
  }

  m.family("tallowmere_web_clients", "gauge", "WebSocket clients of the web server.");
  m.sample("tallowmere_web_clients", "endpoint=\"state\"", clients.state);
  m.sample("tallowmere_web_clients", "endpoint=\"groups\"", clients.groups);
  m.family("tallowmere_build_info", "gauge", "The monitor's version.");
  m.sample("tallowmere_build_info", "version=\"" + labelValue(status.version) + "\"", 1);
  return m.take();
}

}  // namespace tallowmere
