#include "station/RadioTextPlusTags.h"

#include "settings/TrailingBlanks.h"

namespace tallowmere {
namespace {

constexpr int kDummyClass = 0;

}  // namespace

// Block B: item toggle (bit 4), item running (bit 3), the first tag's content type's top
// three bits. Block C: the rest of that type, its start (6 bits) and length less one (6),
// the second type's top bit. Block D: the rest of that type, its start (6) and length
// less one (5).
bool RadioTextPlusTags::receive(const Blocks& b) {
  const bool toggle = bitOf(b[1], 4);
  if (lastToggle_ && *lastToggle_ != toggle) tags_.clear();
  lastToggle_ = toggle;
  bool changed = toggle_.receive(toggle);
  changed = running_.receive(bitOf(b[1], 3)) || changed;
  const auto firstType = static_cast<int>(bitsOf(b[1], 0, 3) << 3 | bitsOf(b[2], 13, 3));
  changed = tag(firstType, static_cast<int>(bitsOf(b[2], 7, 6)), static_cast<int>(bitsOf(b[2], 1, 6)) + 1) ||
            changed;
  const auto secondType = static_cast<int>(bitsOf(b[2], 0, 1) << 5 | bitsOf(b[3], 11, 5));
  changed = tag(secondType, static_cast<int>(bitsOf(b[3], 5, 6)), static_cast<int>(bitsOf(b[3], 0, 5)) + 1) ||
            changed;
  return changed;
}

bool RadioTextPlusTags::tag(int contentType, int start, int length) {
  if (contentType == kDummyClass) return false;
  return tags_[contentType].receive({start, length});
}

RadioTextPlus RadioTextPlusTags::cut(std::string_view text) const {
  RadioTextPlus item{running_.fact().value_or(false), toggle_.fact().value_or(false) ? 1 : 0, {}};
  for (const auto& [contentType, place] : tags_) {
    if (!place.fact()) continue;
    const auto start = static_cast<std::size_t>(place.fact()->first);
    const auto length = static_cast<std::size_t>(place.fact()->second);
    if (start + length > text.size()) continue;
    const std::string_view value = withoutTrailingBlanks(text.substr(start, length));
    if (!value.empty()) item.tags[contentType] = std::string(value);
  }
  return item;
}

}  // namespace tallowmere
