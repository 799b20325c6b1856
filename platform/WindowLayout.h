#pragma once

#include <array>
#include <functional>

#include "display/Fields.h"

namespace tallowmere {

inline constexpr int kClientWidth = 743;
inline constexpr int kClientHeight = 511;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Places every field in its row, in logical pixels at 96 dpi. Row heights follow the
// largest font in the row; rows 1 to 16 share the client area, rows 17 and 18 lie below
// it. Within a row: a row of captions heads the row below it, field by field; a caption
// that names the value after it is as wide as its text; a field that fills its row takes
// what the others leave; everything else shares the width by its span.
// naturalWidth gives the width of a field's created text in its font.
std::array<Rect, kFieldCount> layoutWindow(const std::function<int(Field)>& naturalWidth);

}  // namespace tallowmere
