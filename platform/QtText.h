#pragma once

#include <QString>
#include <string_view>

namespace tallowmere {

// The system's own texts (captions, field names, the title) as Qt text, one character
// per byte.
inline QString qtText(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tallowmere
