// The station checks judged on the replay driver's clock: groups built with the encoder,
// faults scripted, the alarms heard as the log and the command hear them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "remote/Metrics.h"
#include "remote/StateJson.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"
#include "tools/replay/ReplayDriver.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere::test {
namespace {

using ChecksTest = InWorkingFolder;

// What a station sends, built with the encoder: PS with its AF pair, ECC, the TMC
// announcement and TMC messages, a RadioText that changes, the clock time.
struct Air {
  Programme programme{0xD42A, true, 10};
  SwitchingFlags flags;
  std::string ps = "TALLOWME";
  std::uint16_t af = 0xE1AB;  // one frequency: 104.6 MHz
  std::uint8_t ecc = 0xE0;
  bool tmcMessages = true;
  double radioTextSeconds = 15;  // how long each item's text stays; 0: one text throughout
  std::chrono::seconds clockAhead{0};
  bool halfRate = false;  // a signal report after each group
  std::vector<std::string> lines(CheckTime now, double seconds) const {
    std::vector<std::string> out;
    for (int segment = 0; segment < 4; ++segment) {
      out.push_back(groupLine(basicTuningGroup(programme, flags, segment, ps, af)));
    }
    out.push_back(groupLine(slowLabellingGroup(programme, ecc, {})));
    out.push_back(
        groupLine(applicationAnnouncementGroup(programme, 8, tmcSystemInformation(1), kTmcApplicationId)));
    if (tmcMessages) out.push_back(groupLine(tmcGroup(programme, {.event = 101, .location = 12345})));
    const int item = radioTextSeconds > 0 ? static_cast<int>(seconds / radioTextSeconds) : -1;
    const std::string text = radioTextForAir("Item " + std::to_string(item), TextEnd::CarriageReturn);
    for (int segment = 0; segment < 2; ++segment) {
      out.push_back(groupLine(radioTextGroup(programme, item % 2 != 0, segment, text)));
    }
    // The clock time goes out as the minute begins.
    const auto shown = std::chrono::floor<std::chrono::seconds>(now + clockAhead);
    if (shown - std::chrono::floor<std::chrono::minutes>(shown) < std::chrono::milliseconds(2500)) {
      out.push_back(groupLine(clockTimeGroup(programme, clockTimeAt(shown, 2))));
    }
    if (halfRate) {
      for (std::size_t i = out.size(); i-- > 0;) out.insert(out.begin() + i + 1, " RDS STEREO RSSI: 45\r\n");
    }
    return out;
  }
};

// The replay driver with the alarms it raises and clears, each with its time in seconds
// from the start-up tune.
struct CheckRun : CheckEvents {
  explicit CheckRun(const std::string& checks) {
    std::ofstream("tallowmere.ini") << "[Tallowmere]\nFrequency=104.6\n[Checks]\n" + checks;
    driver = std::make_unique<ReplayDriver>(std::tmpfile());
    driver->checks().addListener(this);
    driver->tick(TimerId::tmrSetFreqAtStart);
    start = driver->clock().now();
  }
  double now() const { return std::chrono::duration<double>(driver->clock().now() - start).count(); }
  // Until `seconds`, the station's groups; with polls, a signal poll after every 23 (2 s).
  void play(const Air& air, double seconds, bool polls = false) {
    for (std::size_t i = 0; now() < seconds;) {
      for (const std::string& line : air.lines(driver->clock().now(), now())) {
        if (line.starts_with(">>> ")) groupTimes.push_back(now());
        driver->receive(line);
        if (polls && ++i % 23 == 0) driver->tick(TimerId::tmrRSSI);
      }
    }
  }
  // Until `seconds`, signal polls with this level and no group; with no level, polls the
  // receiver does not answer.
  void quiet(double seconds, std::optional<int> level = 45) {
    while (now() < seconds) {
      if (level) driver->receive(" RDS STEREO RSSI: " + std::to_string(*level) + "\r\n");
      driver->tick(TimerId::tmrRSSI);
    }
  }
  void alarmChanged(const AlarmEvent& e) override {
    alarms.push_back(std::string(checkName(e.check)) + (e.raised ? " raised " : " cleared ") + e.expected +
                     "/" + e.received);
    times.push_back(std::chrono::duration<double>(e.time - start).count());
    // What the web server would hand out at this moment.
    ReceptionCounters counters{[] { return 0.0; }};
    MonitorStatus status{
        driver->form().fields(), driver->station(), counters, 0, true, "", "", "", "", {}, 0, 0,
        &driver->checks()};
    served.push_back(stateJson(status) + metricsText(status, {}, {}));
  }
  void maintenanceChanged(bool on) override {
    alarms.push_back(on ? "maintenance start" : "maintenance end");
  }
  std::unique_ptr<ReplayDriver> driver;
  CheckTime start;
  std::vector<std::string> alarms;
  std::vector<double> times;
  std::vector<std::string> served;
  std::vector<double> groupTimes;  // of each group line played
};

// Each check: 40 s of a good station, a fault from 40 s to `faultEnd`, then good again. Its
// alarm is raised once the fault has been judged failing for the 10 s trigger time (judged
// failing `lag` seconds into it), and cleared 30 s after it ends (or `releaseLag` later).
TEST_F(ChecksTest, AFaultRaisesOneAlarmAfterTheTriggerTimeAndClearsAfterTheRelease) {
  struct Row {
    const char* what;
    std::string setting;
    std::function<void(Air&)> fault;
    std::string raised;  // the raised alarm: check, expected/received
    double faultEnd = 60;
    double lag = 0;
    double releaseLag = 0;
  };
  const std::vector<Row> rows = {
      {"a wrong PI", "PI=D4*A", [](Air& a) { a.programme.pi = 0xD52A; }, "pi raised D4*A/D52A"},
      {"a name not the station's", "PS=TALLOWME|TALLOW", [](Air& a) { a.ps = "TALLOWFM"; },
       "ps raised TALLOWME|TALLOW/TALLOWFM"},
      {"a wrong PTY", "PTY=10", [](Air& a) { a.programme.pty = 5; }, "pty raised 10/5"},
      {"TP off", "TP=1", [](Air& a) { a.programme.tp = false; }, "tp raised 1/0"},
      {"a wrong ECC", "ECC=E0", [](Air& a) { a.ecc = 0xE1; }, "ecc raised E0/E1"},
      {"a frequency missing from the AF list", "AF=104.6", [](Air& a) { a.af = 0xE1AC; },
       "af raised 104.6/104.7", 100, 40, 20},  // an AF list counts once heard more than the last
      {"TMC messages stop", "TMC=yes", [](Air& a) { a.tmcMessages = false; }, "tmc raised yes/last group 13",
       200, Checks::kSlowFactSeconds},
      {"an announcement stuck on", "MaxAnnouncement=0.5", [](Air& a) { a.flags.ta = true; },
       "announcement raised at most 0.5 min/on for 0.7 min", 90, 30},
      {"the RadioText frozen", "RadioTextUnchanged=0.5", [](Air& a) { a.radioTextSeconds = 0; },
       "radiotext raised changed within 0.5 min/unchanged for 0.", 100, 31},
      {"the station clock two minutes ahead", "ClockDrift=5",
       [](Air& a) { a.clockAhead = std::chrono::minutes(2); }, "clock raised within 5 s/119 s", 100, 15,
       15},  // the clock time is sent as each minute begins
      {"half the groups", "MinGroupRate=10", [](Air& a) { a.halfRate = true; },
       "group_rate raised at least 10 groups/s/8.6", 100, 20, 45},  // judged once a minute was heard
  };
  for (const Row& row : rows) {
    std::filesystem::remove_all("log");
    CheckRun run(row.setting);
    Air air;
    run.play(air, 40);
    Air wrong = air;
    row.fault(wrong);
    run.play(wrong, row.faultEnd);
    run.play(air, row.faultEnd + row.releaseLag + 75);
    ASSERT_EQ(run.alarms.size(), 2u) << row.what;
    EXPECT_TRUE(run.alarms[0].starts_with(row.raised)) << row.what << ": " << run.alarms[0];
    EXPECT_TRUE(run.alarms[1].starts_with(row.raised.substr(0, row.raised.find(' ')) + " cleared"))
        << row.what << ": " << run.alarms[1];
    // Within the two receptions that confirm a fact.
    EXPECT_NEAR(run.times[0], 40 + row.lag + 10 + 1, 1) << row.what;
    EXPECT_NEAR(run.times[1], row.faultEnd + row.releaseLag + 30 + 1, 1) << row.what;
    const std::string name = row.raised.substr(0, row.raised.find(' '));
    EXPECT_NE(run.served[0].find("\"" + name + "\": {\"judged\": \"failing\", \"alarm\": true"),
              std::string::npos)
        << run.served[0];
    EXPECT_NE(run.served[0].find("\ntallowmere_check_alarm{check=\"" + name + "\"} 1\n"), std::string::npos);
    EXPECT_NE(run.served[1].find("\ntallowmere_check_alarm{check=\"" + name + "\"} 0\n"), std::string::npos);
    EXPECT_NE(run.served[1].find("\ntallowmere_check_known{check=\"" + name + "\"} 1\n"), std::string::npos);
    // The log: one alarm event raised, one cleared with its duration.
    const std::string log = readFile("log/2025-01-01.jsonl");
    const std::string event = "\"event\":\"alarm\",\"check\":\"" + name + "\",\"state\":";
    EXPECT_NE(log.find(event + "\"raised\""), std::string::npos) << log;
    EXPECT_NE(log.find(event + "\"cleared\""), std::string::npos) << log;
    char duration[32];
    std::snprintf(duration, sizeof duration, "\"duration\":%.1f}", run.times[1] - run.times[0]);
    EXPECT_NE(log.find(duration), std::string::npos) << log;
    // The evidence: the group lines of the minute before the alarm and of the minute after.
    const std::size_t named = log.find("\"evidence\":\"log/evidence/2025-01-01T00-0");
    ASSERT_NE(named, std::string::npos) << log;
    const std::string evidence = readFile(log.substr(named + 12, log.find('"', named + 12) - named - 12));
    EXPECT_EQ(evidence.find(">>> "), 0u);
    const auto inMinuteAround = [&](double t) { return std::abs(t - run.times[0]) <= 60; };
    EXPECT_NEAR(std::count(evidence.begin(), evidence.end(), '\n'),
                std::count_if(run.groupTimes.begin(), run.groupTimes.end(), inMinuteAround), 2)
        << row.what;
  }
}

// What raises nothing, and what a missing fact, a silent receiver or the maintenance file do.
TEST_F(ChecksTest, ScriptedSpellsRaiseExactlyWhatTheyShould) {
  struct Row {
    const char* what;
    std::string setting;
    std::function<void(CheckRun&, Air&)> script;
    std::vector<std::string> alarms;  // check and state only
  };
  const auto wrongPi = [](Air& a) { a.programme.pi = 0xD52A; };
  const std::vector<Row> rows = {
      {"a fault shorter than the trigger time",
       "PI=D42A",
       [&](CheckRun& r, Air& a) {
         r.play(a, 40);
         Air wrong = a;
         wrongPi(wrong);
         r.play(wrong, 48);
         r.play(a, 100);
       },
       {}},
      {"a retune's unknown spell restarts the count",
       "PI=D42A",
       [&](CheckRun& r, Air& a) {
         Air wrong = a;
         wrongPi(wrong);
         r.play(wrong, 38);
         r.driver->form().cmdSetFreq_Click();
         r.play(wrong, 76);
         r.driver->form().cmdSetFreq_Click();
         r.play(a, 120);
       },
       {}},
      {"a fact still missing after 30 s",
       "ECC=E0\nPTY=10",
       [](CheckRun& r, Air& a) {
         a.ecc = 0;  // no 1A at all would be the same: the ECC variant never counts
         r.play(a, 60);
       },
       {"ecc raised"}},
      {"no group for 30 s, and no answer to the polls",
       "",
       [](CheckRun& r, Air& a) {
         r.play(a, 10);
         r.quiet(60, std::nullopt);
         r.play(a, 100);
       },
       {"rds raised", "rds cleared"}},
      {"a weak signal, too weak for RDS",
       "MinLevel=30",
       [](CheckRun& r, Air&) {
         r.quiet(20, 45);
         r.quiet(40, 20);
         r.quiet(80, 45);
       },
       {"level raised", "rds raised", "level cleared"}},
      {"the maintenance file",
       "PI=D42A",
       [&](CheckRun& r, Air& a) {
         std::ofstream("maintenance") << "";
         Air wrong = a;
         wrongPi(wrong);
         r.play(wrong, 60, true);
         std::filesystem::remove("maintenance");
         r.play(a, 100, true);
       },
       {"maintenance start", "maintenance end"}},
      {"unreadable values leave the other checks on",
       "PI=D42\nPTY=10.5\nPS=TALLOWME|\nTP=0",
       [](CheckRun& r, Air& a) { r.play(a, 60); },
       {"tp raised"}},
  };
  for (const Row& row : rows) {
    testing::internal::CaptureStderr();
    CheckRun run(row.setting);
    Air air;
    air.programme.tp = true;
    row.script(run, air);
    const std::string err = testing::internal::GetCapturedStderr();
    std::vector<std::string> alarms;
    for (const std::string& a : run.alarms) alarms.push_back(a.substr(0, a.find(' ', a.find(' ') + 1)));
    EXPECT_EQ(alarms, row.alarms) << row.what;
    const bool unreadable = row.setting.starts_with("PI=D42\n");
    EXPECT_EQ(err.find("[Checks] PI \"D42\" is not four hexadecimal digits or *; the pi check is off") !=
                  std::string::npos,
              unreadable)
        << row.what << err;
    EXPECT_EQ(err.find("[Checks] PTY \"10.5\" is not a programme type from 0 to 31; the pty check is off") !=
                  std::string::npos,
              unreadable)
        << row.what << err;
    EXPECT_EQ(err.find("[Checks] PS \"TALLOWME|\" is not names separated by |; the ps check is off") !=
                  std::string::npos,
              unreadable)
        << row.what << err;
  }
}

// The six real captures with the profile of what each station sends raise nothing; one
// wrong value raises exactly its alarm, once; the evidence file played back raises it again.
TEST_F(ChecksTest, RealCapturesRaiseOnlyTheWrongValuesAlarm) {
  struct Row {
    std::string station;
    std::string profile;
    std::string wrong;  // one line that replaces the profile's line of the same key
    std::string alarm;  // the one alarm it raises
  };
  const std::vector<Row> rows = {
      {"de-104.6rtl-D42A", "PI=D42A\nPS=104.6RTL\nPTY=10\nTP=1\nAF=104.6,88.0,89.5,96.9\nTMC=yes\n",
       "PI=D42B", "pi raised D42B/D42A"},
      {"de-br-klassik-D314", "PI=D314\nPS=BR-KLASS\nPTY=14\nTP=0\nTMC=yes\n", "PS=BR-KLASSIK|BR KLASS",
       "ps raised BR-KLASSIK|BR KLASS/BR-KLASS"},
      {"de-mdr-thueringen-D6F1", "PI=D6F1\nPS=MDR|MDR THUE\nPTY=0\nTP=1\nTMC=yes\n", "PTY=1",
       "pty raised 1/0"},
      {"ee-viker-22E1", "PI=22E1\nPS=*\nPTY=18\nTP=1\nAF=104.1,95.7\nTMC=yes\n", "AF=104.1,87.6",
       "af raised 104.1,87.6/"},
      {"se-sr-p2-EC02", "PI=EC02\nPS=SR P2\nPTY=14\nTP=0\nECC=E3\n", "ECC=E2", "ecc raised E2/E3"},
      {"uk-bbc-radio4-C204", "PI=C2*4\nPS=BBC R4\nPTY=9\nTP=0\nECC=E1\nAF=94.1,92.5\n", "PS=BBC R3",
       "ps raised BBC R3/BBC R4"},
  };
  const auto play = [](const std::string& settings, const std::vector<std::string>& lines) {
    auto run = std::make_unique<CheckRun>(settings);
    for (const std::string& line : lines) run->driver->receive(line);
    return run;
  };
  for (const Row& row : rows) {
    const std::vector<std::string> lines = captureLines(row.station);
    if (lines.empty()) GTEST_SKIP() << "the captures are not on this machine";
    EXPECT_EQ(play(row.profile, lines)->alarms, std::vector<std::string>{}) << row.station;
    const std::string key = row.wrong.substr(0, row.wrong.find('=') + 1);
    std::string wrong = row.profile;
    const std::size_t at = wrong.find(key);
    wrong.replace(at, wrong.find('\n', at) - at, row.wrong);
    std::filesystem::remove_all("log");
    const auto run = play(wrong, lines);
    ASSERT_EQ(run->alarms.size(), 1u) << row.station;
    EXPECT_TRUE(run->alarms[0].starts_with(row.alarm)) << row.station << ": " << run->alarms[0];
    if (row.station != "de-104.6rtl-D42A") continue;
    const std::string log = readFile("log/2025-01-01.jsonl");
    const std::size_t named = log.find("\"evidence\":\"") + 12;
    std::ifstream file(log.substr(named, log.find('"', named) - named), std::ios::binary);
    std::vector<std::string> evidence;
    for (std::string line; std::getline(file, line);) evidence.push_back(line + "\n");
    EXPECT_EQ(play(wrong, evidence)->alarms, run->alarms);
  }
}

}  // namespace
}  // namespace tallowmere::test
