#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "form/Timers.h"

namespace tallowmere {

// The events a replay script line can ask for.
struct ReceiveChunk {
  std::string bytes;
};
struct TimerTick {
  TimerId timer;
};
struct TypeText {
  bool frequencyBox;
  std::string text;
};
struct Click {
  bool setFrequency;
};
struct Dump {};
struct BlankLine {};

using ScriptEvent = std::variant<ReceiveChunk, TimerTick, TypeText, Click, Dump, BlankLine>;

struct ScriptLineResult {
  ScriptEvent event;
  std::string error;  // empty when the line is valid
};

// One line of a script: a JSON string is a receive chunk (code points 0-255, one byte
// each); {"tick": "start"|"rssi"|"metadata"}, {"freq": TEXT}, {"vol": TEXT},
// {"click": "cmdSetFreq"|"cmdSetVolume"} and {"dump": true} are the other events.
ScriptLineResult parseScriptLine(std::string_view line);

}  // namespace tallowmere
