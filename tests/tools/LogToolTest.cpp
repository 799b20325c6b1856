// The station log of replayed broadcasts; a monitor run as a service, stopped by SIGTERM; tallowmere-log.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "tests/support/ChildProcess.h"
#include "tests/support/LogLines.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using LogToolTest = InWorkingFolder;

// The length of each traffic announcement a capture's station ended.
TEST_F(LogToolTest, RealBroadcastsLogTheirAnnouncements) {
  // clang-format off
  struct Case { std::string capture; std::vector<double> seconds; double within; };
  const std::vector<Case> cases = {
      {"de-mdr-thueringen-D6F1", {21}, 1.5},  // TA 15:08:28 to 15:08:49
      {"de-104.6rtl-D42A", {38}, 1.5},        // TA 14:20:32 to 14:21:10
      {"se-sr-p2-EC02", {0.263, 0.263, 0.439}, 0.06},  // 3, 3 and 5 groups: bit errors set TP under EON's TA
      {"de-br-klassik-D314", {}, 0}, {"uk-bbc-radio4-C204", {}, 0}, {"ee-viker-22E1", {}, 0},
  };
  // clang-format on
  if (!std::filesystem::exists(CAPTURES_DIR)) GTEST_SKIP() << "the real captures are not on this machine";
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=104.6\n");
  for (const Case& c : cases) {
    std::filesystem::remove_all("log");
    ASSERT_EQ(runToEnd({REPLAY_BINARY, CAPTURES_DIR "/" + c.capture + ".groups"}).status, 0) << c.capture;
    const std::string log = readFile("log/2025-01-01.jsonl");  // on the replay's clock, from 2025-01-01
    EXPECT_TRUE(log.starts_with(R"({"time":"2025-01-01T00:00:00.000Z","event":"start")")) << c.capture;
    EXPECT_TRUE(log.ends_with("\"event\":\"stop\"}\n")) << c.capture;
    std::vector<double> got;
    for (const std::string& line : logLines("2025-01-01"))
      if (valueOf(line, "reason") == "station") got.push_back(std::stod(valueOf(line, "duration")));
    ASSERT_EQ(got.size(), c.seconds.size()) << c.capture;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.seconds[i], c.within) << c.capture;
  }
}

// As a systemd service it tells NOTIFY_SOCKET, a datagram socket the test owns, how it does.
TEST_F(LogToolTest, TheMonitorAsAServiceTellsHowItDoesAndStopsCleanlyOnSigterm) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");  // Dale FM: TA 10 s after the tune
  const int manager = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{AF_UNIX, {}};
  (folder / "notify").string().copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(manager, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::setenv("NOTIFY_SOCKET", address.sun_path, 1);
  ::setenv("WATCHDOG_USEC", "1000000", 1);
  ChildProcess sim({SIM_BINARY, "receiver"});
  ChildProcess monitor({MONITOR_BINARY});  // opens ./receiver as soon as the simulator has made it
  for (const char* name : {"NOTIFY_SOCKET", "WATCHDOG_USEC"}) ::unsetenv(name);
  std::string said;  // what the monitor sent, each datagram ended by LF
  const auto hear = [&] {
    char datagram[4096];
    for (ssize_t n; (n = ::recv(manager, datagram, sizeof datagram, MSG_DONTWAIT)) > 0;)
      said.append(datagram, static_cast<std::size_t>(n)) += '\n';
  };
  // Read meanwhile: a socket whose queue is full would hold up the monitor's event loop.
  const auto announcing = [&] {
    hear();
    return readFile("traffic.txt") == " 1 \r\n";
  };
  ASSERT_TRUE(eventually(announcing, std::chrono::seconds(40))) << monitor.errors();
  const auto times = [&](const char* pattern) {
    const std::regex r(pattern);
    return std::distance(std::sregex_iterator(said.begin(), said.end(), r), {});
  };
  EXPECT_TRUE(said.starts_with("READY=1\n")) << said;
  EXPECT_GE(
      times(R"(STATUS=receiver connected, 88\.8 MHz, PS DALE FM, [0-9]+\.[0-9] groups/s, alarms: none)"), 1);
  EXPECT_GE(times("WATCHDOG=1"), 3);  // every 0.5 s; their spacing is a benchmark row
  EXPECT_EQ(monitor.stop(), 0);
  hear();
  EXPECT_TRUE(said.ends_with("\nSTOPPING=1\n")) << said;
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");  // the clean stop ran: no " 1 " stays behind
  ::close(manager);
}

TEST_F(LogToolTest, PrintsAnnouncementsAndEventsOfAPreparedFolderAndNamesBadInput) {
  const auto line = [](std::string time, auto rest) { return "{\"time\":\"" + time + "\"," + rest + "}\n"; };
  // Announcements across Berlin's midnight, short, ended by a stop, cut by a restart, still on; a bad line.
  const std::string a = R"("event":"traffic","pi":"D42A","ps":"104.6RTL","frequency":"104.6",)";
  const std::string start = R"("event":"start","version":"2.03")";
  const std::string running = line("2025-03-30T06:02:00.000Z", start) +
                              line("2025-03-30T06:03:00.000Z", a + R"("state":"start")") +
                              line("2025-03-30T06:03:12.000Z", R"("event":"signal","stereo":true)");
  std::filesystem::create_directories("log/bad");
  writeFile(
      "log/2025-03-29.jsonl",
      line("2025-03-29T08:00:05.000Z", R"("event":"ps","ps":"H\u00D6R","raw":"H\u0097R")") +
          line("2025-03-29T08:00:06.000Z", R"("event":"af","af":{"method": "A", "frequencies": [104600]})") +
          line("2025-03-29T08:10:00.000Z", a + R"("state":"start")") +
          line("2025-03-29T08:10:38.000Z", a + R"("state":"end","duration":38.0,"reason":"station")") +
          line("2025-03-29T12:00:00.000Z", a + R"("state":"start")") +
          line("2025-03-29T12:00:01.500Z", a + R"("state":"end","duration":1.5,"reason":"station")") +
          line("2025-03-29T22:59:50.000Z", a + R"("state":"start")"));
  writeFile("log/2025-03-30.jsonl", line("2025-03-29T23:00:20.000Z",
                                         a + R"("state":"end","duration":30.0,"reason":"monitor stopped")") +
                                        line("2025-03-30T06:00:00.000Z", start) +
                                        line("2025-03-30T06:01:00.000Z", a + R"("state":"start")") + running);
  writeFile("log/bad/2025-03-31.jsonl",
            line("2025-03-31T10:00:00.000Z", R"("event":"pi","pi":"D42A")") +
                line("2025-03-31T10:00:01.000Z", R"("event":"pi","pi":"D4)") +  // cut short
                line("2025-03-31T10:00:02.000Z", R"("event":"pi","pi":"D6F1")"));
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  // clang-format off
  const std::string header = "start                end                   duration  PI    PS        frequency  ended by\n";
  struct Case { std::vector<std::string> command; std::string out, err; };  // no error: status 0, else 2
  const std::vector<Case> cases = {
      {{LOG_BINARY, "--announcements", "--min-seconds", "2"}, header +
       "2025-03-29 09:10:00  2025-03-29 09:10:38     38.0 s  D42A  104.6RTL  104.6      station\n"
       "2025-03-29 23:59:50  2025-03-30 00:00:20     30.0 s  D42A  104.6RTL  104.6      monitor stopped\n"
       "2025-03-29: 2 announcements, 68.0 s in all\n"
       "2025-03-30 08:01:00  -                       60.0 s  D42A  104.6RTL  104.6      not ended: the monitor restarted\n"
       "2025-03-30 08:03:00  -                    >= 12.0 s  D42A  104.6RTL  104.6      no end logged\n"
       "2025-03-30: 2 announcements, 72.0 s in all\n", ""},
      {{LOG_BINARY, "--announcements", "--utc", "--since", "2025-03-29 12:00", "--until", "2025-03-29"}, header +
       "2025-03-29 12:00:00  2025-03-29 12:00:01      1.5 s  D42A  104.6RTL  104.6      station\n"
       "2025-03-29 22:59:50  2025-03-29 23:00:20     30.0 s  D42A  104.6RTL  104.6      monitor stopped\n"
       "2025-03-29: 2 announcements, 31.5 s in all\n", ""},
      {{LOG_BINARY, "--since", "2025-03-29", "--until", "2025-03-30 08:01", "--event", "ps,af,start"},
       "2025-03-29 09:00:05  ps           ps=HÖR\n"
       "2025-03-29 09:00:06  af           af={\"method\": \"A\", \"frequencies\": [104600]}\n"
       "2025-03-30 08:00:00  start        version=2.03\n", ""},
      {{LOG_BINARY, "--since", "2025-03-30 08:01:30", "--json"}, running, ""},
      {{LOG_BINARY, "--event", "ps,trafic"}, "", "no event is called \"trafic\"; the events are start, stop, receiver"},
      {{LOG_BINARY, "--folder", "nowhere"}, "", "there is no log folder nowhere"},
      {{LOG_BINARY, "--since", "2025-02-30"}, "", "--since \"2025-02-30\" is not a date"},
      {{LOG_BINARY, "--until", "yesterday"}, "", "--until \"yesterday\" is not a date"},
      {{LOG_BINARY, "--min-seconds"}, "", "--min-seconds needs a value"},
      {{LOG_BINARY, "--folder", "log/bad", "--utc", "--since", "2025-03-31", "--event", "pi"},
       "2025-03-31 10:00:00  pi           pi=D42A\n2025-03-31 10:00:02  pi           pi=D6F1\n",
       "log/bad/2025-03-31.jsonl:2: not a valid log line"},
  };
  // clang-format on
  for (const Case& c : cases) {
    const RunResult run = runToEnd(c.command);
    EXPECT_EQ(run.status, c.err.empty() ? 0 : 2) << c.command[1] << run.err;
    EXPECT_EQ(run.out, c.out) << c.command[1];
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace tallowmere::test
