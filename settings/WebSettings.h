#pragma once

#include <string>
#include <vector>

#include "settings/IniFile.h"

namespace tallowmere {

// The [Web] section of the settings: where the built-in web server listens and who may
// use it.
struct WebSettings {
  static constexpr int kDefaultPort = 8088;
  static constexpr int kDefaultMaxClients = 512;
  static constexpr int kDefaultMaxPerAddress = 16;

  bool enabled = true;
  std::string host = "127.0.0.1";  // an IPv4 or IPv6 address, without brackets
  int port = kDefaultPort;         // 0: any free port
  std::string viewToken{};         // when set, every request must carry it
  std::string controlToken{};      // when set, a request carrying it may tune and set the volume
  int maxClients = kDefaultMaxClients;
  // Connections at most from one address other than this machine's loopback addresses.
  int maxPerAddress = kDefaultMaxPerAddress;
  // Host names, lower case, that a server on the network answers besides the machine's own.
  std::vector<std::string> hosts{};
};

// Reads [Web]: Listen ("127.0.0.1:8088", "0.0.0.0:8088", "[::]:8088", "off"), ViewToken,
// ControlToken, MaxClients, MaxPerAddress and Hosts (names separated by commas). A value
// that cannot be used gives one line on stderr: a bad Listen turns the server off, a bad
// number keeps its default.
WebSettings webSettings(const IniFile& ini, const std::string& iniPath);

}  // namespace tallowmere
