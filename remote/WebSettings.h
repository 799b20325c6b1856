#pragma once

#include <string>

#include "settings/IniFile.h"

namespace tallowmere {

// The [Web] section of the settings: where the built-in web server listens and who may
// use it.
struct WebSettings {
  static constexpr int kDefaultPort = 8088;
  static constexpr int kDefaultMaxClients = 64;

  bool enabled = true;
  std::string host = "127.0.0.1";  // an IPv4 or IPv6 address, without brackets
  int port = kDefaultPort;         // 0: any free port
  std::string viewToken;           // when set, every request must carry it
  std::string controlToken;        // when set, a request carrying it may tune and set the volume
  int maxClients = kDefaultMaxClients;
};

// Reads [Web]: Listen ("127.0.0.1:8088", "0.0.0.0:8088", "[::]:8088", "off"), ViewToken,
// ControlToken and MaxClients. A value that cannot be used gives one line on stderr: a bad
// Listen turns the server off, a bad MaxClients keeps 64.
WebSettings webSettings(const IniFile& ini, const std::string& iniPath);

}  // namespace tallowmere
