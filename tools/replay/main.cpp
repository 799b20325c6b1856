// tallowmere-replay: the monitor's logic on a recorded transcript or a script, without
// window or serial port; prints the display model as JSON.
#include <cstdio>
#include <string>
#include <string_view>

#include "output/FolderLock.h"
#include "tools/replay/FileLines.h"
#include "tools/replay/ReplayDriver.h"

namespace {

constexpr char kUsage[] =
    "Usage: tallowmere-replay [--script] FILE\n"
    "\n"
    "Runs the monitor's logic without window or serial port, in the current directory:\n"
    "reads ./tallowmere.ini, writes traffic.txt and metadata.txt as the monitor does,\n"
    "records every command instead of sending it, judges the [Checks] without running\n"
    "their Command, writes the station log in ./log/ on a clock of its own (from\n"
    "2025-01-01 00:00 UTC, 87.7 ms per transcript line, a timer's interval per tick) and\n"
    "prints the display model as JSON (one object per line: {\"fields\": {...}, \"sent\":\n"
    "[...], \"decoded\": N, \"station\": {...}, \"checks\": {...}}, N the group lines\n"
    "decoded so far, \"station\" the station's facts, \"checks\" as in /api/state).\n"
    "\n"
    "  FILE       a raw receiver transcript: the start-up tune runs first, then every\n"
    "             line up to and including its LF is one receive chunk\n"
    "  --script   FILE holds one JSON value per line instead: a string is one receive\n"
    "             chunk (code points 0-255); {\"tick\": \"start\"|\"rssi\"|\"metadata\"},\n"
    "             {\"freq\": TEXT}, {\"vol\": TEXT}, {\"click\": \"cmdSetFreq\"|\"cmdSetVolume\"}\n"
    "             and {\"dump\": true} run that event\n"
    "  --help     prints this text\n"
    "\n"
    "At the end of FILE the metadata tick runs once and the model is printed.\n"
    "Exit status: 0; 1 when a monitor or another replay works in the current directory;\n"
    "2 for a FILE that cannot be read or a script line that is not valid.\n";

}  // namespace

int main(int argc, char** argv) {
  bool script = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--script") {
      script = true;
    } else if (path == nullptr && !arg.starts_with("--")) {
      path = argv[i];
    } else {
      std::fprintf(stderr, "tallowmere-replay: unexpected argument '%s'\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (path == nullptr) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  tallowmere::FileLines lines(path);
  if (!lines.opened()) {
    std::fprintf(stderr, "tallowmere-replay: cannot read %s: %s\n", path, lines.problem().c_str());
    return 2;
  }

  tallowmere::FolderLock folderLock;  // the folder's files are the monitor's, as for the monitor
  if (!folderLock.take()) return 1;
  tallowmere::ReplayDriver driver(stdout);
  if (!script) driver.tick(tallowmere::TimerId::tmrSetFreqAtStart);
  std::string_view line;
  for (long lineNumber = 1; lines.next(line); ++lineNumber) {
    if (!script) {
      driver.receive(line);
      continue;
    }
    if (line.ends_with('\n')) line.remove_suffix(1);
    const std::string error = driver.runScriptLine(line);
    if (!error.empty()) {
      std::fprintf(stderr, "tallowmere-replay: %s:%ld: %s\n", path, lineNumber, error.c_str());
      return 2;
    }
  }
  if (!lines.problem().empty()) {
    std::fprintf(stderr, "tallowmere-replay: cannot read %s: %s\n", path, lines.problem().c_str());
    return 2;
  }
  driver.finish();
  return 0;
}
