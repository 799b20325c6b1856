#pragma once

#include <string>
#include <string_view>

#include "display/Fields.h"

namespace tallowmere {

// What a remote request types into a box: the text, or why nothing is typed.
struct RemoteEntry {
  std::string text;
  std::string refusal;  // empty when the text may be typed
};

// The body of a remote volume (Field::txtVol) or frequency (Field::txtFreq) request, after
// one final line end is removed. The window's boxes take whatever the operator types; a
// request from afar is held to what the receiver's commands carry: a volume is a whole
// number 0 to 15, a frequency digits with at most one "." and at most 7 characters.
RemoteEntry remoteEntry(Field box, std::string_view body);

}  // namespace tallowmere
