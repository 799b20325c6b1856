// The monitor as a systemd service: what it tells the service manager on NOTIFY_SOCKET, a
// datagram socket this test owns, from start-up to SIGTERM.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "tests/support/ChildProcess.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using ServiceNotify = InWorkingFolder;

TEST_F(ServiceNotify, SaysReadyItsStatusKeepsTheWatchdogAndSaysStopping) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n[Web]\nListen=off\n");  // Dale FM
  const int manager = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{AF_UNIX, {}};
  const std::string path = (folder / "notify").string();
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(manager, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::setenv("NOTIFY_SOCKET", path.c_str(), 1);
  ::setenv("WATCHDOG_USEC", "1000000", 1);
  ChildProcess sim({SIM_BINARY, "receiver"});
  ChildProcess monitor({MONITOR_BINARY});
  ::unsetenv("NOTIFY_SOCKET");
  ::unsetenv("WATCHDOG_USEC");

  std::vector<std::string> said;  // each assignment, in the order sent
  const auto hear = [&] {         // one datagram, if one comes within 100 ms
    pollfd p{manager, POLLIN, 0};
    std::string datagram(4096, '\0');
    if (::poll(&p, 1, 100) <= 0) return false;
    datagram.resize(
        static_cast<std::size_t>(std::max<ssize_t>(0, ::recv(manager, datagram.data(), 4096, 0))));
    std::istringstream lines(datagram);
    for (std::string line; std::getline(lines, line);) said.push_back(line);
    return true;
  };
  const auto count = [&](const std::string& pattern) {
    return std::ranges::count_if(said,
                                 [&](const auto& s) { return std::regex_match(s, std::regex(pattern)); });
  };
  const std::string status =
      R"(STATUS=receiver connected, 88\.8 MHz, PS DALE FM, [0-9]+\.[0-9] groups/s, alarms: none)";
  EXPECT_TRUE(eventually(
      [&] {
        hear();
        return count(status) > 0 && count("WATCHDOG=1") >= 3;
      },
      std::chrono::seconds(40)))
      << testing::PrintToString(said) << monitor.errors();
  EXPECT_EQ(said.front(), "READY=1");
  EXPECT_EQ(monitor.stop(), 0);
  while (hear()) {
  }
  EXPECT_EQ(said.back(), "STOPPING=1");
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");
  ::close(manager);
}

}  // namespace
}  // namespace tallowmere::test
