#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tallowmere {

// The system's own texts (captions, field names, the title) as Qt text, one character
// per byte.
inline QString qtText(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Typed text as the model holds it, one byte per character; a character that Latin-1
// lacks becomes SUB (0x1A), which no command carries.
inline std::string typedBytes(const QString& typed) {
  constexpr char kSubstitute = '\x1A';
  std::string text;
  text.reserve(static_cast<std::size_t>(typed.size()));
  for (QChar c : typed) text.push_back(c.unicode() <= 0xFF ? static_cast<char>(c.unicode()) : kSubstitute);
  return text;
}

}  // namespace tallowmere
