// The station log: a session's events, the clock rule, the day files and station bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "log/StationLog.h"
#include "settings/Diagnostics.h"
#include "station/StationModel.h"
#include "tests/support/Harness.h"
#include "tests/support/LogLines.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono;
using LogTest = InWorkingFolder;
constexpr WallTime kEvening = sys_days{2025y / March / 30} + 23h + 58min;

// The monitor's logic with the station model and a station log on a clock the test moves.
struct LoggedMonitor {
  ManualWallClock clock{kEvening};
  StationLog log{clock, "log", true};
  StationModel station{[] { return 0.0; }};
  Harness m;
  LoggedMonitor() {
    m.form.addListener(&station);
    m.form.addListener(&log);
    station.addListener(&log.stationEvents());
  }
  // The events of both days that start with `only`, each with the detail that tells it apart.
  std::vector<std::string> events(std::string_view only = "") const {
    std::vector<std::string> out;
    for (const char* day : {"2025-03-30", "2025-03-31"})
      for (const std::string& line : logLines(day)) {
        std::string e = valueOf(line, "event");
        for (const char* key : {"state", "by", "pi", "ps", "text", "frequency", "stereo", "level_dbuv",
                                "reason", "duration", "difference"})
          if (!valueOf(line, key).empty()) e.append(" ").append(valueOf(line, key));
        if (e.starts_with(only)) out.push_back(e);
      }
    return out;
  }
};

TEST_F(LogTest, ASessionGivesItsEventsInOrder) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=104.6\n[Log]\nLogDays=7\n");
  LoggedMonitor s;
  s.m.loadAndTune();
  // A level 5 dB off is not logged, 6 dB off is; "xx" is no level.
  for (const char* status :
       {"STEREO RSSI: 42", "STEREO RSSI: 47", "MONO RSSI: 36", "MONO RSSI: xx", "MONO RSSI:  7"})
    s.m.receive(std::string(" RDS ") + status + "\r\n");
  // The facts come from the station model, each logged once.
  TestStation station;
  for (const int segment : {0, 1, 2, 3, 0, 1, 2, 3, 0}) s.m.receive(station.psLine(segment));
  for (const std::string& l : station.radioText("Traffic news" + std::string(52, ' '))) s.m.receive(l);
  for (const seconds held : {38s, 0s, 12s}) {  // TA for 38 s, then off, then on for 12 s until a retune
    station.flags.ta = held > 0s;
    s.m.receive(station.psLine(0));
    s.clock.advance(held);
  }
  s.m.type(Field::txtFreq, "88.8");
  s.m.form.cmdSetFreq_Click();
  s.m.receive(station.psLine(3));  // no whole name since the retune: the buffer is logged
  s.m.receive(station.psLine(0));  // TP takes effect one group later
  reportProblem("receiver ./receiver lost (reading failed: the line hung up)", ProblemKind::ReceiverLost);
  s.m.form.receiverDisconnected();
  reportProblem("receiver ./receiver connected", ProblemKind::ReceiverConnected);
  s.m.form.receiverConnected();
  s.m.receive(station.psLine(0));
  s.m.form.stop();
  // clang-format off
  EXPECT_EQ(s.events(), (std::vector<std::string>{
      "start 104.6", "tune start-up timer 104.6", "volume start-up timer", "signal true 42",
      "signal false 36", "signal 7", "pi D42A", "pty", "ps TALLOWME",
      "radiotext Traffic news" + std::string(52, ' '), "traffic start D42A TALLOWME 104.6",
      "traffic end D42A TALLOWME 104.6 station 38.0", "traffic start D42A TALLOWME 104.6", "tune button 88.8",
      "traffic end D42A TALLOWME 104.6 retune 12.0", "pi D42A", "pty", "traffic start D42A TA____ME 88.8",
      "receiver lost receiver ./receiver lost (reading failed: the line hung up)",
      "traffic end D42A TA____ME 88.8 receiver lost 0.0", "receiver connected receiver ./receiver connected",
      "tune reconnect 88.8", "volume reconnect", "traffic start D42A TA____ME 88.8",
      "traffic end D42A TA____ME 88.8 monitor stopped 0.0", "stop"}));
  // clang-format on
}

TEST_F(LogTest, TheStationClockIsLoggedOnceAnHour) {
  LoggedMonitor s;
  s.m.loadAndTune();
  // A station clock two minutes slow, at 23:58, 00:28 (within the hour) and 00:59; then noise.
  for (const minutes at : {0min, 30min, 61min, 125min}) {
    s.clock.set(kEvening + at);
    ClockTime shown = clockTimeAt(floor<seconds>(kEvening + at - 2min), 2);
    if (at == 125min) shown.hour = 28;
    s.m.receive(groupLine(clockTimeGroup(TestStation().programme, shown)));
  }
  EXPECT_EQ(s.events("clock"), (std::vector<std::string>{"clock -120.0", "clock -120.0"}));
}

// The station's facts as events, each once, in the form the JSON gives them; a toggle back
// to an old RadioText is no news.
TEST_F(LogTest, TheStationsFactsAreLoggedAsTheyChange) {
  LoggedMonitor s;
  s.m.loadAndTune();
  const TestStation station;
  const auto language = [&](int code) {
    Group g = slowLabellingGroup(station.programme, 0, {21, 13, 0});
    g.blocks[2] = static_cast<std::uint16_t>(0x3000 | code);
    return groupLine(g);
  };
  const std::vector<int> af = {1046, 880};
  std::vector<std::string> lines(2, groupLine(slowLabellingGroup(station.programme, 0xE0, {21, 13, 0})));
  lines.insert(lines.end(), 2, language(0x08));
  for (std::size_t i : {0, 1, 0, 1, 0}) {
    lines.push_back(
        groupLine(basicTuningGroup(station.programme, {}, 0, station.ps, alternativeFrequencyPair(af, i))));
  }
  for (const auto& [textB, text] : {std::pair{false, "Jazztime"}, {true, "Piano"}, {false, "Jazztime"}}) {
    const std::string air = radioTextForAir(text, TextEnd::CarriageReturn);
    for (std::size_t k = 0; k < air.size() / 2; ++k)
      lines.push_back(station.rtLine(textB, int(k % (air.size() / 4)), air));
  }
  for (const std::string& line : lines) s.m.receive(line);
  std::vector<std::string> logged;
  for (const std::string& line : logLines("2025-03-30")) {
    const std::string event = valueOf(line, "event");
    if (event == "ecc" || event == "pin" || event == "language" || event == "af" || event == "radiotext")
      logged.push_back(line.substr(line.find("\"event\"")));
  }
  EXPECT_EQ(logged,
            (std::vector<std::string>{R"("event":"ecc","ecc":"E0","country":"DE"})",
                                      R"("event":"pin","pin":{"day": 21, "hour": 13, "minute": 0}})",
                                      R"("event":"language","language":"German"})",
                                      R"("event":"af","af":{"method": "A", "frequencies": [104600, 88000]}})",
                                      R"("event":"radiotext","text":"Jazztime"})",
                                      R"("event":"radiotext","text":"Piano"})"}));
}

TEST_F(LogTest, OldDayFilesGoAtStartAndAtMidnightAsLogDaysSays) {
  // clang-format off
  struct Case { const char* logDays; std::string keptAtStart, keptAfterMidnight; bool warned; };
  const std::vector<Case> cases = {
      {"3", "03-28 03-29 03-30 notes", "03-29 03-30 notes", false},
      {"1", "03-30 notes", "notes", false},
      {"0", "01-01 03-28 03-29 notes", "01-01 03-28 03-29 notes", false},  // the log is off
      {"ninety", "01-01 03-28 03-29 03-30 notes", "01-01 03-28 03-29 03-30 notes", true},  // 90 days
      {"-3", "01-01 03-28 03-29 03-30 notes", "01-01 03-28 03-29 03-30 notes", true},
  };
  // clang-format on
  const auto kept = [] {
    std::string shown;
    for (const std::string day : {"01-01", "03-28", "03-29", "03-30", "03-31"})
      if (std::filesystem::exists("log/2025-" + day + ".jsonl")) shown += day + " ";
    return shown + (std::filesystem::exists("log/notes.txt") ? "notes" : "");
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all("log");
    std::filesystem::create_directory("log");
    for (const char* name : {"2025-01-01.jsonl", "2025-03-28.jsonl", "2025-03-29.jsonl", "notes.txt"})
      writeFile(std::string("log/") + name, "{}\n");
    writeIni(std::string("[Log]\nLogDays=") + c.logDays + "\n");
    LoggedMonitor s;
    s.m.load();
    EXPECT_EQ(kept(), c.keptAtStart) << c.logDays;
    s.clock.advance(3min);
    s.m.form.tmrRSSI_Timer();
    EXPECT_EQ(kept(), c.keptAfterMidnight) << c.logDays;
    EXPECT_EQ(readFile("log/2025-03-30.jsonl").find("LogDays") != std::string::npos, c.warned) << c.logDays;
  }
}

// An unwritable folder loses its events with one line per outage; a full day file takes no more that day.
TEST_F(LogTest, DayFilesReportAnOutageOnceAndKeepTheirBound) {
  testing::internal::CaptureStderr();
  DayFiles files("log", 400);
  writeFile("log", "a file where the folder should be");
  for (int i = 0; i < 13; ++i) {
    if (i == 3) std::filesystem::remove("log");
    files.append(LogLine(kEvening + seconds(i), "pi").text("pi", "D42A"));
  }
  files.append(LogLine(kEvening + 2min, "pi").text("pi", "D6F1"));
  const std::string problems = testing::internal::GetCapturedStderr();
  EXPECT_EQ(valueOf(logLines("2025-03-30").at(5), "event"), "log_full");  // the sixth line, as no more fit
  EXPECT_LE(readFile("log/2025-03-30.jsonl").size(), 400u);
  EXPECT_EQ(logLines("2025-03-31").size(), 1u);
  EXPECT_EQ(std::ranges::count(problems, '\n'), 3) << problems;
  EXPECT_LT(problems.find("cannot write the log log/2025-03-30.jsonl"), problems.find("works again"));
  EXPECT_LT(problems.find("works again"), problems.find("reached"));
}

TEST(LogLineTest, StationBytesAreShownAsTheWindowDrawsThemWithTheRawBytesBeside) {
  // A text of the monitor's own keeps its UTF-8; a stray byte cannot break the line.
  // clang-format off
  const std::vector<std::pair<LogLine, std::string>> cases = {
      {LogLine(kEvening, "ps").stationText("ps", "MDR THUE"), R"("ps":"MDR THUE")"},
      {LogLine(kEvening, "ps").stationText("ps", "H\x97rer \"1\"\\"), R"("ps":"Hörer \"1\"\\","raw":"H\u0097rer \"1\"\\")"},
      {LogLine(kEvening, "ps").stationText("ps", "SR\xFF\xA9" "2\r"), R"("ps":"SR €2 ","raw":"SR\u00FF\u00A92\u000D")"},
      {LogLine(kEvening, "ps").text("text", "/home/jörg\t\xFF"), R"("text":"/home/jörg\u0009\uFFFD")"},
  };
  // clang-format on
  for (const auto& [line, json] : cases)
    EXPECT_EQ(line.str(), R"({"time":"2025-03-30T23:58:00.000Z","event":"ps",)" + json + "}\n") << json;
}

}  // namespace
}  // namespace tallowmere::test
