#pragma once

#include <QRect>
#include <functional>
#include <string>

#include "display/Fields.h"

namespace tallowmere {

// The window's fields for the web page to draw them where the window does, as JSON:
// {"width", "height", "fields": [{"name", "kind", "x", "y", "w", "h", "size" (font size in
// pixels), "bold", "align", "border", "face"}, ...]}.
std::string pageLayoutJson(const std::function<QRect(Field)>& placeOf);

}  // namespace tallowmere
