#include "settings/WebSettings.h"

#include <optional>
#include <string_view>

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

// A count from 1 to kMaxMaxClients under `key`; a bad one keeps the default in `value`.
void readLimit(const IniFile& ini, const std::string& iniPath, std::string_view key, std::string_view what,
               int& value) {
  const auto text = ini.value(kSection, key);
  if (!text) return;
  if (const auto number = wholeNumber(*text, 1, kMaxMaxClients)) {
    value = *number;
    return;
  }
  reportProblem(iniPath + ": [Web] " + std::string(key) + " \"" + *text + "\" is not a number from 1 to " +
                std::to_string(kMaxMaxClients) + "; the web server takes " + std::to_string(value) + " " +
                std::string(what));
}

std::string lowerCaseTrimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
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
  readLimit(ini, iniPath, "MaxClients", "clients", settings.maxClients);
  readLimit(ini, iniPath, "MaxPerAddress", "clients from one address", settings.maxPerAddress);
  const std::string hostsText = ini.value(kSection, "Hosts").value_or("");
  std::string_view hosts = hostsText;
  while (!hosts.empty()) {
    const std::size_t comma = hosts.find(',');
    if (std::string name = lowerCaseTrimmed(hosts.substr(0, comma)); !name.empty()) {
      settings.hosts.push_back(std::move(name));
    }
    hosts.remove_prefix(comma == std::string_view::npos ? hosts.size() : comma + 1);
  }
  return settings;
}

}  // namespace tallowmere
