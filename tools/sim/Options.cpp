#include "tools/sim/Options.h"

#include <string_view>

namespace tallowmere {

const char kUsage[] =
    "Usage: tallowmere-sim [--flood] [--groups FILE [--once]] [--record FILE] [--stamps FILE]\n"
    "                      [LINK]\n"
    "\n"
    "A simulated FM/RDS receiver on a pseudo-terminal. It links the terminal's device at\n"
    "LINK (default ./receiver; an existing symbolic link there is replaced, any other file\n"
    "is left alone and the simulator refuses to start), prints 'LINK -> DEVICE' and then\n"
    "answers the monitor's commands until SIGINT or SIGTERM, when it removes the link.\n"
    "\n"
    "Commands, each a line ended by CR LF (LF or CR alone will do):\n"
    "  fDIGITS   tune, in 10 kHz units: f8880 is 88.8 MHz (Dale FM, traffic programme with\n"
    "            TMC and an announcement 10 s after tuning for 30 s, again every 5 minutes),\n"
    "            f10450 is 104.5 MHz (Fen & Folk, no traffic programme); any other frequency\n"
    "            is silent\n"
    "  i         signal report: ' RDS STEREO RSSI: 47' on a station (the level wanders by a\n"
    "            few dB), ' --- MONO RSSI: 07' otherwise\n"
    "  vTEXT     volume, accepted without an answer\n"
    "Nothing is sent before the first f command. On a station the receiver sends RDS groups\n"
    "as '>>> AAAA:BBBB:CCCC:DDDD<' CR LF lines, about 11.4 a second as on air.\n"
    "\n"
    "  --flood         send groups as fast as a 115200-baud 8N1 line carries them\n"
    "                  (11,520 bytes a second) instead of at the RDS rate\n"
    "  --groups FILE   once tuned to any frequency, send the lines of FILE (for example a\n"
    "                  capture of group lines) instead of a built-in station, from its first\n"
    "                  line again on every f command and after its last line\n"
    "  --once          with --groups: stop sending at the end of FILE instead of looping\n"
    "  --record FILE   write every byte sent to FILE too, so that it can be replayed with\n"
    "                  tallowmere-replay\n"
    "  --stamps FILE   on stopping, write to FILE one line for every line sent: the time its\n"
    "                  LF went into the terminal, in nanoseconds of CLOCK_MONOTONIC, so that\n"
    "                  a monitor on the same machine can measure how long it took\n"
    "  --help          print this text\n"
    "\n"
    "The other side may close and reopen the device at any time; while nobody has it open,\n"
    "what the receiver sends is lost, as on a serial line with nothing attached.\n";

std::optional<Options> parseOptions(int argc, char** argv, std::string& problem) {
  Options options;
  bool linkGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        problem = std::string(arg) + " needs a file name";
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--flood") {
      options.flood = true;
    } else if (arg == "--once") {
      options.once = true;
    } else if (arg == "--groups") {
      if (!value(options.groupsFile)) return std::nullopt;
    } else if (arg == "--record") {
      if (!value(options.recordFile)) return std::nullopt;
    } else if (arg == "--stamps") {
      if (!value(options.stampsFile)) return std::nullopt;
    } else if (!arg.starts_with("-") && !linkGiven) {
      options.link = arg;
      linkGiven = true;
    } else {
      problem = "unexpected argument '" + std::string(arg) + "'";
      return std::nullopt;
    }
  }
  if (options.once && options.groupsFile.empty()) {
    problem = "--once goes with --groups";
    return std::nullopt;
  }
  return options;
}

}  // namespace tallowmere
