// The station log: the events of a session, the PS and signal rules, the day files with
// their bound and retention, and how station bytes are written.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "log/StationLog.h"
#include "settings/Diagnostics.h"
#include "tests/support/Harness.h"
#include "tests/support/LogLines.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono;
using LogTest = InWorkingFolder;
constexpr WallTime kEvening = sys_days{2025y / March / 30} + 23h + 58min;

// The monitor's logic with a station log on a clock the test moves.
struct LoggedMonitor {
  ManualWallClock clock{kEvening};
  StationLog log{clock, "log", true};
  Harness m;
  LoggedMonitor() { m.form.setStationLog(&log); }
  void after(microseconds pause, std::string_view chunk) {
    clock.advance(pause);
    m.receive(chunk);
  }
  // Each event with the detail that tells it apart: "traffic end retune 12.0".
  std::vector<std::string> events() const {
    std::vector<std::string> out;
    for (const std::string& line : logLines(utcDay(clock.now()))) {
      std::string e = valueOf(line, "event");
      for (const char* key :
           {"state", "by", "pi", "ps", "text", "stereo", "level_dbuv", "reason", "duration"}) {
        if (!valueOf(line, key).empty()) e += " " + valueOf(line, key);
      }
      out.push_back(e);
    }
    return out;
  }
};

TEST_F(LogTest, ASessionGivesItsEventsInOrder) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=104.6\n[Log]\nLogDays=7\n");
  LoggedMonitor s;
  s.m.load();
  s.clock.advance(5s);
  s.m.form.tmrSetFreqAtStart_Timer();
  s.after(1s, " RDS STEREO RSSI: 42\r\n");
  s.after(2s, " RDS STEREO RSSI: 46\r\n");  // 4 dB: not logged
  s.after(2s, " RDS MONO RSSI: 36\r\n");
  TestStation station;
  for (int k = 0; k < 4; ++k) s.after(88ms, station.psLine(k));
  for (const std::string& line : station.radioText("Traffic news" + std::string(52, ' ')))
    s.after(88ms, line);
  // Announcements that end by the station, a retune, a lost receiver and the stop.
  station.flags.ta = true;
  s.after(88ms, station.psLine(0));
  station.flags.ta = false;
  s.after(38s, station.psLine(1));
  station.flags.ta = true;
  s.after(88ms, station.psLine(2));
  s.m.type(Field::txtFreq, "88.8");
  s.clock.advance(12s);
  s.m.form.cmdSetFreq_Click();
  s.after(88ms, station.psLine(3));
  s.after(88ms, station.psLine(0));  // TP takes effect one group later
  reportProblem("receiver ./receiver lost (reading failed: the line hung up)", ProblemKind::ReceiverLost);
  s.m.form.receiverDisconnected();
  reportProblem("receiver ./receiver connected", ProblemKind::ReceiverConnected);
  s.m.form.receiverConnected();
  s.after(1s, station.psLine(0));
  s.after(500ms, station.psLine(0));
  s.log.stop();
  const std::vector<std::string> expected = {
      "start",
      "tune start-up timer",
      "volume start-up timer",
      "signal true 42",
      "signal false 36",
      "pi D42A",
      "pty",
      "ps TALLOWME",
      "radiotext Traffic news                                                    ",
      "traffic start D42A TALLOWME",
      "traffic end D42A TALLOWME station 38.0",
      "traffic start D42A TALLOWME",
      "tune button",
      "traffic end D42A TALLOWME retune 12.0",
      "pi D42A",
      "pty",
      "traffic start D42A TA____ME",  // no whole name yet since the retune: the buffer
      "receiver lost receiver ./receiver lost (reading failed: the line hung up)",
      "traffic end D42A TA____ME receiver lost 0.0",
      "receiver connected receiver ./receiver connected",
      "tune reconnect",
      "volume reconnect",
      "traffic start D42A TA____ME",
      "traffic end D42A TA____ME monitor stopped 0.5",
      "stop",
  };
  EXPECT_EQ(s.events(), expected);
  EXPECT_EQ(valueOf(logLines("2025-03-30")[1], "frequency"), "104.6");
}

TEST_F(LogTest, APsIsLoggedOnlyWhenEachOfItsSegmentsHasArrivedSinceItChanged) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, int>> segments;  // name on air, segment sent
    std::vector<std::string> logged;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"from the middle of a cycle", {{"MDR THUE", 2}, {"MDR THUE", 3}, {"MDR THUE", 0}, {"MDR THUE", 1}}, {"MDR THUE"}},
      {"three segments only", {{"MDR THUE", 0}, {"MDR THUE", 1}, {"MDR THUE", 2}, {"MDR THUE", 1}}, {}},
      {"the same name again", {{"VIKER   ", 0}, {"VIKER   ", 1}, {"VIKER   ", 2}, {"VIKER   ", 3}, {"VIKER   ", 0}}, {"VIKER   "}},
      {"a scrolled name, no mixture", {{"VIKER   ", 0}, {"VIKER   ", 1}, {"VIKER   ", 2}, {"VIKER   ", 3},
                                       {"PILVES  ", 0}, {"PILVES  ", 1}, {"PILVES  ", 2}, {"PILVES  ", 3},
                                       {"PILVES  ", 0}, {"PILVES  ", 1}}, {"VIKER   ", "PILVES  "}},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::filesystem::remove_all("log");
    LoggedMonitor s;
    s.m.loadAndTune();
    TestStation station;
    for (const auto& [name, segment] : c.segments) {
      station.ps = name;
      s.after(88ms, station.psLine(segment));
    }
    std::vector<std::string> logged;
    for (const std::string& e : s.events()) {
      if (e.starts_with("ps ")) logged.push_back(e.substr(3));
    }
    EXPECT_EQ(logged, c.logged) << c.what;
  }
}

TEST_F(LogTest, SignalLevelsAreLoggedOnSixDbStepsAndTheStationClockOnceAnHour) {
  LoggedMonitor s;
  s.m.loadAndTune();
  for (const char* level : {"40", "45", "34", "39", "28", " 7", "xx"}) {
    s.m.receive(std::string(" RDS STEREO RSSI: ") + level + "\r\n");
  }
  // A station clock two minutes slow, at 23:58, 00:28 (within the hour) and 00:59; then noise.
  TestStation station;
  for (const minutes at : {0min, 30min, 61min}) {
    s.clock.set(kEvening + at);
    s.m.receive(
        groupLine(clockTimeGroup(station.programme, clockTimeAt(floor<seconds>(kEvening + at - 2min), 2))));
  }
  s.clock.set(kEvening + 125min);
  s.m.receive(groupLine(clockTimeGroup(station.programme, ClockTime{60765, 28, 53, 0})));
  std::vector<std::string> levels, differences;
  for (const char* day : {"2025-03-30", "2025-03-31"}) {
    for (const std::string& line : logLines(day)) {
      if (!valueOf(line, "level_dbuv").empty()) levels.push_back(valueOf(line, "level_dbuv"));
      if (!valueOf(line, "difference").empty()) differences.push_back(valueOf(line, "difference"));
    }
  }
  EXPECT_EQ(levels, (std::vector<std::string>{"40", "34", "28", "7"}));
  EXPECT_EQ(differences, (std::vector<std::string>{"-120.0", "-120.0"}));
}

TEST_F(LogTest, OldDayFilesGoAtStartAndAtMidnightAsLogDaysSays) {
  struct Case {
    const char* logDays;
    std::vector<std::string> keptAtStart, keptAfterMidnight;
    bool warned;
  };
  const std::vector<std::string> all = {"2025-01-01.jsonl", "2025-03-28.jsonl", "2025-03-29.jsonl",
                                        "notes.txt"};
  const std::vector<std::string> withToday = {"2025-01-01.jsonl", "2025-03-28.jsonl", "2025-03-29.jsonl",
                                              "2025-03-30.jsonl", "notes.txt"};
  // clang-format off
  const std::vector<Case> cases = {
      {"3", {"2025-03-28.jsonl", "2025-03-29.jsonl", "2025-03-30.jsonl", "notes.txt"},
            {"2025-03-29.jsonl", "2025-03-30.jsonl", "notes.txt"}, false},
      {"1", {"2025-03-30.jsonl", "notes.txt"}, {"notes.txt"}, false},
      {"0", all, all, false},  // the log is off: nothing written, nothing removed
      {"ninety", withToday, withToday, true},  // 90 days, with a warning
      {"-3", withToday, withToday, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::filesystem::remove_all("log");
    std::filesystem::create_directory("log");
    for (const std::string& name : all) writeFile("log/" + name, "{}\n");
    writeIni(std::string("[Log]\nLogDays=") + c.logDays + "\n");
    LoggedMonitor s;
    s.m.load();
    const auto kept = [] {
      std::set<std::string> names;
      for (const auto& entry : std::filesystem::directory_iterator("log"))
        names.insert(entry.path().filename());
      return std::vector<std::string>(names.begin(), names.end());
    };
    EXPECT_EQ(kept(), c.keptAtStart) << c.logDays;
    s.clock.advance(3min);
    s.m.form.tmrRSSI_Timer();
    EXPECT_EQ(kept(), c.keptAfterMidnight) << c.logDays;
    const std::string log = readFile("log/2025-03-30.jsonl");
    EXPECT_EQ(log.find("LogDays") != std::string::npos, c.warned) << c.logDays;
  }
}

// Reports from the log itself, which it cannot hold.
struct CollectedProblems : ProblemSink {
  CollectedProblems() { setProblemSink(this); }
  ~CollectedProblems() override { setProblemSink(nullptr); }
  void problemReported(ProblemKind, std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

TEST_F(LogTest, AFullDayFileTakesNoMoreEventsUntilTheNextDay) {
  CollectedProblems problems;
  DayFiles files("log", 400);
  for (int i = 0; i < 10; ++i) files.append(LogLine(kEvening + seconds(i), "pi").text("pi", "D42A"));
  files.append(LogLine(kEvening + 2min, "pi").text("pi", "D6F1"));
  const std::vector<std::string> full = logLines("2025-03-30");
  ASSERT_EQ(full.size(), 6u);
  EXPECT_EQ(valueOf(full.back(), "event"), "log_full");
  EXPECT_LE(readFile("log/2025-03-30.jsonl").size(), 400u);
  EXPECT_EQ(logLines("2025-03-31").size(), 1u);
  EXPECT_EQ(problems.lines.size(), 1u);
}

TEST_F(LogTest, AnUnwritableFolderGivesOneLinePerOutageAndLosesOnlyItsEvents) {
  CollectedProblems problems;
  DayFiles files("log");
  writeFile("log", "a file where the folder should be");
  for (int i = 0; i < 3; ++i) files.append(LogLine(kEvening + seconds(i), "pi").text("pi", "D42A"));
  std::filesystem::remove("log");
  files.append(LogLine(kEvening + 5s, "pi").text("pi", "D6F1"));
  EXPECT_EQ(logLines("2025-03-30").size(), 1u);
  ASSERT_EQ(problems.lines.size(), 2u);
  EXPECT_NE(problems.lines[0].find("cannot write the log log/2025-03-30.jsonl"), std::string::npos);
  EXPECT_NE(problems.lines[1].find("works again"), std::string::npos);
}

TEST(LogLineTest, StationBytesAreShownAsTheWindowDrawsThemWithTheRawBytesBeside) {
  // clang-format off
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"MDR THUE", R"("ps":"MDR THUE")"},
      {"H\x97rer \"1\"\\", R"("ps":"Hörer \"1\"\\","raw":"H\u0097rer \"1\"\\")"},
      {"SR\xFF\xFF" "2\r", R"("ps":"SR  2 ","raw":"SR\u00FF\u00FF2\u000D")"},
      {"\xA9 \xE3", R"("ps":"€ Œ","raw":"\u00A9 \u00E3")"},
  };
  // clang-format on
  for (const auto& [bytes, json] : cases) {
    const std::string line = LogLine(kEvening, "ps").stationText("ps", bytes).str();
    EXPECT_EQ(line, R"({"time":"2025-03-30T23:58:00.000Z","event":"ps",)" + json + "}\n") << bytes;
  }
  // A text of the monitor's own keeps its UTF-8; a stray byte cannot break the line.
  EXPECT_EQ(LogLine(kEvening, "d").text("text", "/home/jörg\t\xFF").str(),
            R"({"time":"2025-03-30T23:58:00.000Z","event":"d","text":"/home/jörg\u0009\uFFFD"})"
            "\n");
}

}  // namespace
}  // namespace tallowmere::test
