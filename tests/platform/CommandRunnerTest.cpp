// The [Checks] Command run for real: scripts in the test's folder, the event loop turning
// until nothing runs or waits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "platform/CommandRunner.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using CommandRunnerTest = InWorkingFolder;

AlarmEvent alarm(bool raised, std::string received) {
  return {Check::pi, raised, "D42A", std::move(received), CheckTime{}, 0};
}

TEST_F(CommandRunnerTest, RunsEachAlarmInTurnAndSaysWhatWentWrong) {
  struct Row {
    const char* what;
    std::string script;  // the body of a shell script
    std::vector<AlarmEvent> alarms;
    std::function<bool(const std::string&)> fileOk;  // what the script left in out.txt
    std::string stderrLine;
  };
  const std::string environment =
      "pi raised D42A D52A 1970-01-01T00:00:00.000Z D42A BR-KLASS 104.6 /srv log/evidence/e.groups\nno "
      "input\n"
      "own group\npi cleared D42A D42A 1970-01-01T00:00:00.000Z D42A BR-KLASS 104.6 /srv \nno input\nown "
      "group\n";
  const std::vector<Row> rows = {
      {"the alarm in its environment, stdin empty, a group of its own",
       "echo $TALLOWMERE_CHECK $TALLOWMERE_STATE $TALLOWMERE_EXPECTED $TALLOWMERE_RECEIVED $TALLOWMERE_TIME "
       "$TALLOWMERE_PI $TALLOWMERE_PS $TALLOWMERE_FREQUENCY $TALLOWMERE_FOLDER \"$TALLOWMERE_EVIDENCE\" "
       ">>out.txt\n"
       "read line || echo no input >>out.txt\n"
       "[ \"$(ps -o pgid= -p $$ | tr -d ' ')\" = $$ ] && echo own group >>out.txt\n",
       {alarm(true, "D52A"), alarm(false, "D42A")},
       [&](const std::string& out) { return out == environment; },
       ""},
      {"a failure: its last line",
       "echo trying >>out.txt\necho 'relay refused'\nexit 3\n",
       {alarm(true, "D52A")},
       [](const std::string& out) { return out == "trying\n"; },
       "check command ./alarm.sh exited with status 3 for the pi alarm (raised): relay refused\n"},
      {"a command that hangs: killed with its group",
       "sleep 300 &\necho $! >out.txt\nwait\n",
       {alarm(true, "D52A")},
       [](const std::string& out) { return eventually([&] { return ::kill(std::stoi(out), 0) != 0; }); },
       "check command ./alarm.sh did not end within 1 s and was killed"},
      {"at most 100 waiting, the oldest dropped", "echo $TALLOWMERE_RECEIVED >>out.txt\n",
       std::vector<AlarmEvent>(102, alarm(true, "D52A")),
       [](const std::string& out) { return std::count(out.begin(), out.end(), '\n') == 101; },
       "check command ./alarm.sh: 100 alarms wait already; the pi alarm (raised) is not passed on\n"},
  };
  for (const Row& row : rows) {
    std::filesystem::remove("out.txt");
    writeFile("alarm.sh", "#!/bin/sh\n" + row.script);
    std::filesystem::permissions("alarm.sh", std::filesystem::perms::owner_all);
    CommandRunner runner("./alarm.sh", 1, "/srv", [] {
      return AlarmContext{"D42A", "BR-KLASS", "104.6", "log/evidence/e.groups"};
    });
    testing::internal::CaptureStderr();
    for (const AlarmEvent& e : row.alarms) runner.alarmChanged(e);
    // The alarm is handed over at once, while the command runs.
    EXPECT_FALSE(runner.idle()) << row.what;
    QElapsedTimer waited;  // generous: the machine may be busy
    waited.start();
    while (!runner.idle() && waited.elapsed() < 120'000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const bool ended = runner.idle();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ended) << row.what;
    const std::string out = std::filesystem::exists("out.txt") ? readFile("out.txt") : "";
    EXPECT_TRUE(row.fileOk(out)) << row.what << ": " << out;
    EXPECT_NE(err.find(row.stderrLine), std::string::npos) << row.what << ": " << err;
  }
}

}  // namespace
}  // namespace tallowmere::test
