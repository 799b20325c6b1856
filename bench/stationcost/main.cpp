// tallowmere-stationcost: what the station model and the station checks cost the decoding,
// for the benchmarks only.
//
//   tallowmere-stationcost FILE
//
// Runs the form's receive handler on every line of FILE, held in memory, once with the
// window's decoding alone, once with the station model listening and once with the
// station checks judging every check of a station's profile too, six times each in turn,
// and prints the best rate of each:
// "window=GROUPS_PER_SECOND station=GROUPS_PER_SECOND checks=GROUPS_PER_SECOND".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "checks/Checks.h"
#include "form/FrmMain.h"
#include "station/StationModel.h"

namespace {

using namespace tallowmere;

class NoPort : public ReceiverPort {
 public:
  bool open(const std::string& /*device*/) override { return true; }
  void write(std::string_view /*line*/) override {}
};

class NoTimers : public TimerService {
 public:
  void start(TimerId /*id*/, int /*intervalMs*/) override {}
  void stop(TimerId /*id*/) override {}
};

class NoFiles : public OutputFiles {
 public:
  bool replace(std::string_view /*name*/, std::string_view /*content*/) override { return true; }
};

enum class Listening { Nothing, Station, StationAndChecks };

// Every check on, each against a value of its own: judging costs the same whether the
// station passes or fails.
constexpr char kProfile[] =
    "[Checks]\nPI=D42A\nPS=104.6RTL|BR-KLASS\nPTY=10\nTP=1\nECC=E0\nAF=104.6,88.0\nTMC=yes\n"
    "MaxAnnouncement=5\nRadioTextUnchanged=60\nClockDrift=5\nMinGroupRate=10\nMinLevel=20\n";

double groupsPerSecond(const std::vector<std::string>& lines, Listening listening) {
  NoPort port;
  NoTimers timers;
  NoFiles files;
  FrmMain form(port, timers, files);
  double now = 0;
  StationModel station([&now] { return now; });
  Checks checks(
      station, [&now] { return CheckTime{} + std::chrono::microseconds(static_cast<long long>(now * 1e6)); },
      "maintenance");
  checks.configure(checkSettings(IniFile::fromText(kProfile), "profile"));
  if (listening != Listening::Nothing) form.addListener(&station);
  if (listening == Listening::StationAndChecks) {
    form.addListener(&checks);
    station.addListener(&checks);
  }
  form.Form_Load();
  form.tmrSetFreqAtStart_Timer();
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& line : lines) {
    now += 0.0877;
    form.MSComm1_OnComm(line);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return static_cast<double>(form.groupsDecoded()) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: tallowmere-stationcost FILE\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  if (lines.empty()) {
    std::fprintf(stderr, "tallowmere-stationcost: no lines in %s\n", argv[1]);
    return 2;
  }
  // The three in turn, each round starting with the next one, six rounds; each one's best
  // run is the one least disturbed.
  constexpr Listening kOrder[] = {Listening::Nothing, Listening::Station, Listening::StationAndChecks};
  double best[3] = {0, 0, 0};
  for (int round = 0; round < 6; ++round) {
    for (int i = 0; i < 3; ++i) {
      const int which = (round + i) % 3;
      best[which] = std::max(best[which], groupsPerSecond(lines, kOrder[which]));
    }
  }
  const double window = best[0], station = best[1], checks = best[2];
  std::printf("window=%.0f station=%.0f checks=%.0f\n", window, station, checks);
  return 0;
}
