// The station log of real broadcasts through the replay driver, and tallowmere-log on a
// prepared folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "tests/support/ChildProcess.h"
#include "tests/support/LogLines.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

class LogToolTest : public InWorkingFolder {
 protected:
  static void prepareFolder();
};
constexpr double kSecondsPerGroup = 0.0877;  // the replay driver's clock

// Facts about the captures: the first PS logged, and each traffic announcement's length.
TEST_F(LogToolTest, RealBroadcastsLogTheirAnnouncements) {
  struct Case {
    const char* capture;
    std::string ps;
    std::vector<double> announcementSeconds;
    double within;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"de-mdr-thueringen-D6F1", "MDR THUE", {21}, 1.5},   // TA 15:08:28 to 15:08:49
      {"de-104.6rtl-D42A", "104.6RTL", {38}, 1.5},         // TA 14:20:32 to 14:21:10
      // Bit errors that set TP for a few groups under EON's TA: 3, 3 and 5 groups.
      {"se-sr-p2-EC02", "SR P2   ", {3 * kSecondsPerGroup, 3 * kSecondsPerGroup, 5 * kSecondsPerGroup}, 0.06},
      {"de-br-klassik-D314", "BR-KLASS", {}, 0},
      {"uk-bbc-radio4-C204", "BBC R4  ", {}, 0},
      {"ee-viker-22E1", "VIKER   ", {}, 0},
  };
  // clang-format on
  const std::string captures = CAPTURES_DIR;
  if (!std::filesystem::exists(captures)) GTEST_SKIP() << "the real captures are not on this machine";
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=104.6\n");
  for (const Case& c : cases) {
    std::filesystem::remove_all("log");
    ASSERT_EQ(runToEnd({REPLAY_BINARY, captures + "/" + c.capture + ".groups"}).status, 0) << c.capture;
    const std::vector<std::string> lines = logLines("2025-01-01");
    ASSERT_GT(lines.size(), 2u) << c.capture;
    EXPECT_EQ(valueOf(lines.front(), "event"), "start") << c.capture;
    EXPECT_EQ(valueOf(lines.back(), "event"), "stop") << c.capture;
    std::vector<std::string> names;
    std::vector<double> seconds;
    for (const std::string& line : lines) {
      if (valueOf(line, "event") == "ps") names.push_back(valueOf(line, "ps"));
      if (valueOf(line, "state") == "end") {
        EXPECT_EQ(valueOf(line, "reason"), "station") << c.capture;
        seconds.push_back(std::stod(valueOf(line, "duration")));
      }
    }
    ASSERT_FALSE(names.empty()) << c.capture;
    EXPECT_EQ(names.front(), c.ps) << c.capture;
    ASSERT_EQ(seconds.size(), c.announcementSeconds.size()) << c.capture;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
      EXPECT_NEAR(seconds[i], c.announcementSeconds[i], c.within) << c.capture << " #" << i;
    }
  }
}

// The monitor on the simulated receiver's Dale FM, whose announcement begins 10 s after
// the tune: SIGTERM, as systemd stops it, ends the announcement and the log cleanly.
TEST_F(LogToolTest, TheMonitorStoppedBySigtermEndsTheAnnouncementAndTheLog) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  ChildProcess sim({SIM_BINARY, "receiver"});
  ASSERT_TRUE(eventually([] { return std::filesystem::exists("receiver"); }));
  ChildProcess monitor({MONITOR_BINARY});
  const auto events = [] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("log")) {
      for (const std::string& l : logLines(entry.path().stem().string())) {
        names.push_back(valueOf(l, "event") + " " + valueOf(l, "state") + valueOf(l, "reason"));
      }
    }
    return names;
  };
  ASSERT_TRUE(eventually(
      [&] {
        const std::vector<std::string> e =
            std::filesystem::exists("log") ? events() : std::vector<std::string>{};
        return !e.empty() && e.back() == "traffic start";
      },
      std::chrono::seconds(40)))
      << monitor.errors();
  EXPECT_EQ(monitor.stop(), 0);
  const std::vector<std::string> all = events();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(all.end() - 2, all.end()),
            (std::vector<std::string>{"traffic endmonitor stopped", "stop "}));
}

std::string line(const std::string& time, const std::string& rest) {
  return "{\"time\":\"" + time + "\"," + rest + "}\n";
}

// Two UTC days: an announcement across local midnight (in Berlin), a short one, one the
// monitor stopping ended, and one a restart cut short.
void LogToolTest::prepareFolder() {
  std::filesystem::create_directory("log");
  const std::string a = R"("event":"traffic","pi":"D42A","ps":"104.6RTL","frequency":"104.6",)";
  writeFile("log/2025-03-29.jsonl",
            line("2025-03-29T08:00:00.000Z", R"("event":"start","version":"2.03")") +
                line("2025-03-29T08:00:05.000Z", R"("event":"ps","ps":"H\u00D6R","raw":"H\u0097R")") +
                line("2025-03-29T08:10:00.000Z", a + R"("state":"start")") +
                line("2025-03-29T08:10:38.000Z", a + R"("state":"end","duration":38.0,"reason":"station")") +
                line("2025-03-29T12:00:00.000Z", a + R"("state":"start")") +
                line("2025-03-29T12:00:01.500Z", a + R"("state":"end","duration":1.5,"reason":"station")") +
                line("2025-03-29T22:59:50.000Z", a + R"("state":"start")"));
  writeFile(
      "log/2025-03-30.jsonl",
      line("2025-03-29T23:00:20.000Z", a + R"("state":"end","duration":30.0,"reason":"monitor stopped")") +
          line("2025-03-30T06:00:00.000Z", R"("event":"start","version":"2.03")") +
          line("2025-03-30T06:01:00.000Z", a + R"("state":"start")") +
          line("2025-03-30T06:02:00.000Z", R"("event":"start","version":"2.03")"));
}

TEST_F(LogToolTest, PrintsAnnouncementsAndEventsOfAPreparedFolder) {
  prepareFolder();
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const std::string header =
      "start                end                   duration  PI    PS        frequency  ended by\n";
  // clang-format off
  const std::vector<Case> cases = {
      {{"--announcements", "--min-seconds", "2"}, header +
       "2025-03-29 09:10:00  2025-03-29 09:10:38     38.0 s  D42A  104.6RTL  104.6      station\n"
       "2025-03-29 23:59:50  2025-03-30 00:00:20     30.0 s  D42A  104.6RTL  104.6      monitor stopped\n"
       "2025-03-29: 2 announcements, 68.0 s in all\n"
       "2025-03-30 08:01:00  -                       60.0 s  D42A  104.6RTL  104.6      not ended: the monitor restarted\n"
       "2025-03-30: 1 announcement, 60.0 s in all\n"},
      {{"--announcements", "--utc", "--since", "2025-03-29 12:00", "--until", "2025-03-29"}, header +
       "2025-03-29 12:00:00  2025-03-29 12:00:01      1.5 s  D42A  104.6RTL  104.6      station\n"
       "2025-03-29 22:59:50  2025-03-29 23:00:20     30.0 s  D42A  104.6RTL  104.6      monitor stopped\n"
       "2025-03-29: 2 announcements, 31.5 s in all\n"},
      {{"--since", "2025-03-29", "--until", "2025-03-29 09:01", "--event", "ps,start"},
       "2025-03-29 09:00:00  start        version=2.03\n"
       "2025-03-29 09:00:05  ps           ps=HÖR\n"},
      {{"--since", "2025-03-30 08:01:30", "--json"}, line("2025-03-30T06:02:00.000Z", R"("event":"start","version":"2.03")")},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::vector<std::string> command = {LOG_BINARY};
    command.insert(command.end(), c.args.begin(), c.args.end());
    const RunResult run = runToEnd(command);
    EXPECT_EQ(run.status, 0) << c.args[0] << run.err;
    EXPECT_EQ(run.out, c.out) << c.args[0];
  }
}

TEST_F(LogToolTest, BadInputIsNamedOnStderrWithStatusTwo) {
  prepareFolder();
  writeFile("log/2025-03-31.jsonl",
            line("2025-03-31T10:00:00.000Z", R"("event":"pi","pi":"D42A")") +
                "{\"time\":\"2025-03-31T10:00:01.000Z\",\"event\":\"pi\",\"pi\":\"D4\n" +
                line("2025-03-31T10:00:02.000Z", R"("event":"pi","pi":"D6F1")"));
  struct Case {
    std::vector<std::string> args;
    std::string err;
    std::size_t outLines;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {{"--folder", "nowhere"}, "there is no log folder nowhere", 0},
      {{"--since", "2025-02-30"}, "--since \"2025-02-30\" is not a date", 0},
      {{"--until", "yesterday"}, "--until \"yesterday\" is not a date", 0},
      {{"--min-seconds"}, "--min-seconds needs a value", 0},
      {{"--utc", "--since", "2025-03-31", "--event", "pi"}, "log/2025-03-31.jsonl:2: not a valid log line", 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::vector<std::string> command = {LOG_BINARY};
    command.insert(command.end(), c.args.begin(), c.args.end());
    const RunResult run = runToEnd(command);
    EXPECT_EQ(run.status, 2) << c.err;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), static_cast<long>(c.outLines)) << c.err;
  }
}

}  // namespace
}  // namespace tallowmere::test
