#include "remote/WebSettings.h"

#include <optional>

#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

constexpr std::string_view kSection = "Web";
constexpr int kMaxMaxClients = 10000;

// A whole number from `low` to `high` written with digits only.
std::optional<int> wholeNumber(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const int value = std::stoi(std::string(text));
  if (value < low || value > high) return std::nullopt;
  return value;
}

// "HOST:PORT" or "[IPV6]:PORT"; the host is checked by the server when it listens.
bool readListen(std::string_view text, WebSettings& settings) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return false;
  std::string_view host = text.substr(0, colon);
  if (host.starts_with('[')) {
    if (!host.ends_with(']')) return false;
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    return false;  // an IPv6 address needs its brackets
  }
  const auto port = wholeNumber(text.substr(colon + 1), 0, 65535);
  if (host.empty() || !port) return false;
  settings.host = host;
  settings.port = *port;
  return true;
}

}  // namespace

WebSettings webSettings(const IniFile& ini, const std::string& iniPath) {
  WebSettings settings;
  if (ini.status() != IniFile::Status::Read) return settings;
  if (const auto listen = ini.value(kSection, "Listen")) {
    if (equalsIgnoringCase(*listen, "off")) {
      settings.enabled = false;
    } else if (!readListen(*listen, settings)) {
      reportProblem(iniPath + ": [Web] Listen \"" + *listen +
                    "\" is neither HOST:PORT nor off; the web server is off");
      settings.enabled = false;
    }
  }
  settings.viewToken = ini.value(kSection, "ViewToken").value_or("");
  settings.controlToken = ini.value(kSection, "ControlToken").value_or("");
  if (const auto maxClients = ini.value(kSection, "MaxClients")) {
    if (const auto value = wholeNumber(*maxClients, 1, kMaxMaxClients)) {
      settings.maxClients = *value;
    } else {
      reportProblem(iniPath + ": [Web] MaxClients \"" + *maxClients + "\" is not a number from 1 to " +
                    std::to_string(kMaxMaxClients) + "; the web server takes " +
                    std::to_string(WebSettings::kDefaultMaxClients) + " clients");
    }
  }
  return settings;
}

}  // namespace tallowmere
