// Feeds the receive handler any sequence of chunks, with retunes, box texts and timer
// ticks mixed in, and checks after every event what the display relies on; the station
// model and the log's watcher of its facts hear every event as in the monitor.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "log/StationWatcher.h"
#include "station/StationJson.h"
#include "station/StationModel.h"
#include "tests/support/Harness.h"

namespace {

using namespace tallowmere;

// The fuzzer's bytes, taken from the front; zeros once they run out.
struct Input {
  std::string_view rest;
  std::uint8_t byte() {
    const std::uint8_t b = rest.empty() ? 0 : static_cast<std::uint8_t>(rest.front());
    rest.remove_prefix(rest.empty() ? 0 : 1);
    return b;
  }
  std::string bytes(std::size_t n) {
    std::string taken(rest.substr(0, n));
    rest.remove_prefix(taken.size());
    return taken;
  }
};

// Longer than any text the monitor writes itself; the boxes hold what the operator typed.
constexpr std::size_t kMaxShownText = 80;

bool isSystemColour(Rgb c) {
  using namespace colour;
  return c == kWhite || c == kBlack || c == kGreen || c == kGrey || c == kRed || c == kDarkGrey ||
         c == kLightGrey;
}

std::string broken(Field f, const char* rule) {
  return std::string(nameOf(f)) + " " + rule;
}

// What the display relies on after every event, whatever the receiver sent: fixed buffer
// lengths, the count within its range, only the system's own colours, bounded texts.
// Returns a description of the first broken rule, or nothing.
std::string brokenInvariant(const FrmMain& form) {
  const DecoderState& v = form.decoderState();
  if (v.psBuffer.size() != 8) return "psBuffer is not 8 characters";
  if (v.rtBufferA.size() != 64 || v.rtBufferB.size() != 64) return "a RadioText buffer is not 64 characters";
  if (v.rtGroupCount < 0 || v.rtGroupCount > 1000) return "rtGroupCount outside 0 to 1000";
  if (v.trafficState < 0 || v.trafficState > 1 || v.lastTrafficState < 0 || v.lastTrafficState > 2) {
    return "traffic state outside its values";
  }
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    const FieldState& s = form.fields()[f];
    if (!isSystemColour(s.foreground)) return broken(f, "has a foreign text colour");
    if (s.background && !isSystemColour(*s.background)) return broken(f, "has a foreign background");
    if (s.background.has_value() != definitionOf(f).look.background.has_value()) {
      return broken(f, "gained or lost its background");
    }
    const bool box = definitionOf(f).kind == FieldKind::TextBox;
    if (!box && s.text.size() > kMaxShownText) return broken(f, "shows an unbounded text");
  }
  return {};
}

// What the station's facts keep within, whatever the groups: texts of their lengths,
// frequencies on the bands, no more groups counted than decoded, and JSON that names each fact.
std::string brokenFact(const Station& s, long decoded) {
  if (s.ps && s.ps->size() != 8) return "the PS is not 8 characters";
  for (const auto& text : s.radioText) {
    if (text && text->size() > 64) return "a RadioText is longer than 64 characters";
  }
  long long counted = 0;
  for (const long long n : s.groupsByType) counted += n;
  if (counted > decoded) return "more groups counted than decoded";
  if (s.groupRate < 0) return "a negative group rate";
  const auto onBand = [](int khz) {
    return (khz >= 153 && khz <= 1611) || (khz >= 87'600 && khz <= 107'900);
  };
  if (s.af) {
    for (const int khz : s.af->frequencies) {
      if (!onBand(khz)) return "an AF off the bands";
    }
    for (const auto& list : s.af->lists) {
      if (!onBand(list.tuned)) return "a tuned AF off the band";
      for (const auto* others : {&list.same, &list.regional}) {
        for (const int khz : *others) {
          if (!onBand(khz)) return "a method B AF off the band";
        }
      }
    }
  }
  if (s.clock && (s.clock->hour > 23 || s.clock->minute > 59)) return "a clock time no clock shows";
  return {};
}

// The station JSON of the facts at the end, whole.
std::string brokenJson(const Station& s) {
  const std::string json = stationJson(s);
  if (json.front() != '{' || json.back() != '}' || json.find("\"group_rate\"") == std::string::npos) {
    return "station JSON cut short";
  }
  return {};
}

std::string hexGroupLine(Input& in) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = ">>> ";
  for (int block = 0; block < 4; ++block) {
    for (int k = 0; k < 2; ++k) {
      const std::uint8_t b = in.byte();
      line.push_back(kHex[b >> 4]);
      line.push_back(kHex[b & 15]);
    }
    line.push_back(block < 3 ? ':' : '<');
  }
  return line + "\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  test::Harness m;
  FrmMain& form = m.form;
  double seconds = 0;
  StationModel station{[&seconds] { return seconds; }};
  const ManualWallClock clock{std::chrono::sys_days{std::chrono::year{2025} / 1 / 1}};
  StationWatcher watcher{clock, [](const LogLine& line) { (void)line.str(); }};
  form.addListener(&station);
  station.addListener(&watcher);
  form.Form_Load();
  Input in{std::string_view(reinterpret_cast<const char*>(data), size)};
  while (!in.rest.empty()) {
    const std::uint8_t op = in.byte();
    seconds += op / 16.0;
    // Now and then the files cannot be written, as with a full disk.
    m.files.writable = op % 5 != 0;
    switch (op % 8) {
      case 0:
      case 1:
      case 2:
        form.MSComm1_OnComm(in.bytes(in.byte()));
        break;
      case 3:
        form.MSComm1_OnComm(">>> " + in.bytes(in.byte()));
        break;
      case 4:
        form.onTimer(static_cast<TimerId>(in.byte() % kTimerCount));
        break;
      case 5:
        form.fields().setText(Field::txtFreq, in.bytes(in.byte() % 16));
        form.cmdSetFreq_Click();
        break;
      case 6:
        form.fields().setText(Field::txtVol, in.bytes(in.byte() % 16));
        form.cmdSetVolume_Click();
        break;
      default:
        form.MSComm1_OnComm(hexGroupLine(in));
        break;
    }
    std::string broken = brokenInvariant(form);
    if (broken.empty()) broken = brokenFact(station.station(), form.groupsDecoded());
    if (!broken.empty()) {
      std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
      std::abort();
    }
  }
  if (const std::string broken = brokenJson(station.station()); !broken.empty()) {
    std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
