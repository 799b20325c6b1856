// What the web server decides without a socket: who may ask, the [Web] settings, times,
// the reception counters and the metrics of a session.
#include <gtest/gtest.h>

#include "remote/EventHistory.h"
#include "remote/Metrics.h"
#include "remote/RequestRules.h"
#include "remote/StateJson.h"
#include "remote/WebSettings.h"
#include "tests/support/Harness.h"
#include "tests/support/Stations.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono;

TEST(WebRules, HostOriginAndTokens) {
  const struct {
    std::string_view host, listen;
    bool allowed;
  } hosts[] = {{"127.0.0.1:8088", "127.0.0.1", true},       {"LOCALHOST:8088", "127.0.0.1", true},
               {"[::1]:8088", "127.0.0.1", true},           {"", "127.0.0.1", true},
               {"rebind.example:8088", "127.0.0.1", false}, {"127.0.0.1.rebind.example", "127.0.0.1", false},
               {"monitor.lan:8088", "0.0.0.0", true},       {"192.168.1.20", "192.168.1.20", true}};
  for (const auto& h : hosts)
    EXPECT_EQ(hostAllowed(h.host, h.listen), h.allowed) << h.host << " on " << h.listen;

  EXPECT_TRUE(originAllowed(std::nullopt, "127.0.0.1:8088"));
  EXPECT_TRUE(originAllowed("http://LocalHost:8088", "localhost:8088"));
  for (std::string_view o :
       {"http://localhost:8089", "https://localhost:8088", "null", "http://localhost:8088/x"}) {
    EXPECT_FALSE(originAllowed(o, "localhost:8088")) << o;
  }

  EXPECT_EQ(bearerToken("bearer s3cret"), "s3cret");
  EXPECT_EQ(bearerToken("Basic czNjcmV0"), "");
  EXPECT_EQ(cookieValue("a=1; tallowmere_view=v w; b=2", "tallowmere_view"), "v w");
  EXPECT_EQ(cookieValue("xtallowmere_view=1", "tallowmere_view"), "");
  EXPECT_EQ(cookieValue("other_cookie_va=1", "tallowmere_view"), "");
  EXPECT_TRUE(tokenMatches("s3cret", "s3cret"));
  for (std::string_view wrong : {"s3cre", "s3crets", "S3cret", ""})
    EXPECT_FALSE(tokenMatches(wrong, "s3cret")) << wrong;
  EXPECT_FALSE(tokenMatches("", ""));  // an unset token lets nobody in
}

TEST(WebRules, SettingsAndTimes) {
  const auto read = [](const std::string& web) {
    return webSettings(IniFile::fromText("[Web]\n" + web), "t.ini");
  };
  EXPECT_TRUE(read("").enabled);
  EXPECT_EQ(read("").port, 8088);
  EXPECT_FALSE(read("Listen=OFF").enabled);
  EXPECT_EQ(read("Listen=[::]:0").host, "::");
  EXPECT_EQ(read("Listen=0.0.0.0:9000").port, 9000);
  EXPECT_EQ(read("Listen=[::1]:65535").port, 65535);
  for (const char* bad :
       {"Listen=8088", "Listen=::1:8088", "Listen=127.0.0.1:65536", "Listen=:8088", "Listen=h:8o"}) {
    EXPECT_FALSE(read(bad).enabled) << bad;
  }
  EXPECT_EQ(read("MaxClients=3").maxClients, 3);
  EXPECT_EQ(read("MaxClients=0").maxClients, 64);
  EXPECT_EQ(read("ControlToken= ab ").controlToken, "ab");

  EXPECT_EQ(readTime("2026-12-08T07:00:01.250Z"), sys_days{2026y / December / 8} + 7h + 1s + 250ms);
  EXPECT_EQ(readTime("2026-12-08T23:59:59Z"), sys_days{2026y / December / 9} - 1s);
  EXPECT_EQ(readTime("1765177200"), WallTime{seconds{1765177200}});
  for (const char* bad : {"2026-12-08", "2026-02-30T00:00:00Z", "2026-12-08T24:00:00Z", "2026-12-08T07:00:00",
                          "2026-12-08T07:00:00Zulu", "2026-12-08T07:00:60Z", "-5", "yesterday"}) {
    EXPECT_FALSE(readTime(bad)) << bad;
  }
}

TEST(WebRules, EventsAreHandedOutByNumberAndTime) {
  EventHistory history;
  const WallTime t0 = sys_days{2025y / January / 1};
  for (int i = 0; i < 1003; ++i) history.add(LogLine(t0 + seconds{i}, "signal").integer("n", i));
  EXPECT_EQ(history.arrayFrom(1001), R"([{"time":"2025-01-01T00:16:41.000Z","event":"signal","n":1001},)"
                                     R"({"time":"2025-01-01T00:16:42.000Z","event":"signal","n":1002}])");
  EXPECT_EQ(history.arrayFrom(0, 1), R"([{"time":"2025-01-01T00:16:42.000Z","event":"signal","n":1002}])");
  EXPECT_EQ(history.arrayFrom(1003), "[]");
  EXPECT_EQ(history.arraySince(t0 + seconds{1002}), history.arrayFrom(1002));
  EXPECT_EQ(history.arrayFrom(0).find("\"n\":2}"), std::string::npos);  // the oldest three are gone
}

// A station with traffic announcements, a garbled line and a signal report, as metrics.
TEST(WebRules, MetricsOfASession) {
  Harness m;
  double now = 10;
  ReceptionCounters counters{[&now] { return now; }};
  StationModel station{[&now] { return now; }};
  m.form.addListener(&station);
  m.form.addListener(&counters);
  m.loadAndTune();
  const TestStation rtl{.flags = {.ta = true}};
  for (const std::string& line :
       {rtl.psLine(0), rtl.typeLine(2), std::string(">>> D42A:2G00:0000:0000<\r\n"),
        std::string(" RDS MONO RSSI: 18\r\n"), groupLine(slowLabellingGroup(rtl.programme, 0xE0, {})),
        groupLine(slowLabellingGroup(rtl.programme, 0xE0, {})),
        groupLine(basicTuningGroup(rtl.programme, rtl.flags, 0, rtl.ps,
                                   alternativeFrequencyPair(std::vector{1046, 880}, 0)))}) {
    m.receive(line);
  }
  for (std::size_t i : {1, 0, 1, 0})
    m.receive(groupLine(basicTuningGroup(rtl.programme, rtl.flags, 0, rtl.ps,
                                         alternativeFrequencyPair(std::vector{1046, 880}, i))));
  const MonitorStatus status{m.form.fields(),
                             station,
                             counters,
                             m.form.groupsDecoded(),
                             true,
                             "/dev/ttyUSB0",
                             "88.8",
                             "Tallowmere",
                             "2.03",
                             WallTime{},
                             12,
                             12.5};
  FileHealthByName files;
  files["traffic.txt"] = {false, 3};
  const std::string text = metricsText(status, files, {2, 1});
  for (const char* sample :
       {"\ntallowmere_receiver_connected 1\n", "# TYPE tallowmere_groups_total counter\n",
        "\ntallowmere_signal_level_dbuv 18\n", "\ntallowmere_stereo 0\n", "\ntallowmere_groups_total 9\n",
        "\ntallowmere_groups_by_type_total{type=\"0A\"} 6\n", "\ntallowmere_af_frequencies 2\n",
        "\ntallowmere_groups_by_type_total{type=\"2A\"} 1\n", "\ntallowmere_uncut_group_lines_total 1\n",
        "\ntallowmere_traffic_announcement 1\n", "\ntallowmere_traffic_state_known 1\n",
        "\ntallowmere_seconds_since_last_group 2.5\n",
        "\ntallowmere_station_info{pi=\"D42A\",pty=\"10 - Pop Music\",ecc=\"E0\",country=\"DE\"} 1\n",
        "\ntallowmere_output_file_writable{file=\"traffic.txt\"} 0\n",
        "\ntallowmere_output_file_write_failures_total{file=\"traffic.txt\"} 3\n",
        "\ntallowmere_web_clients{endpoint=\"groups\"} 1\n"}) {
    EXPECT_NE(text.find(sample), std::string::npos) << sample << text;
  }
  MonitorStatus lost = status;
  lost.connected = false;
  EXPECT_NE(metricsText(lost, files, {}).find("\ntallowmere_receiver_connected 0\n"), std::string::npos);
  const std::string state = stateJson(status);
  for (const char* part :
       {R"("device": "/dev/ttyUSB0", "frequency": "88.8")", R"("byType": {"0A": 6, "1A": 2, "2A": 1})",
        R"("station": {"pi": "D42A", "country": "DE")"}) {
    EXPECT_NE(state.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace tallowmere::test
