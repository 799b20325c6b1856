// tallowmere-stationcost: what the station model costs the decoding, for the benchmarks only.
//
//   tallowmere-stationcost FILE
//
// Runs the form's receive handler on every line of FILE, held in memory, once with the
// window's decoding alone and once with the station model listening, and prints
// "window=GROUPS_PER_SECOND station=GROUPS_PER_SECOND".
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

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

double groupsPerSecond(const std::vector<std::string>& lines, bool withStation) {
  NoPort port;
  NoTimers timers;
  NoFiles files;
  FrmMain form(port, timers, files);
  double now = 0;
  StationModel station([&now] { return now; });
  if (withStation) form.addListener(&station);
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
  const double window = groupsPerSecond(lines, false);
  const double station = groupsPerSecond(lines, true);
  std::printf("window=%.0f station=%.0f\n", window, station);
  return 0;
}
