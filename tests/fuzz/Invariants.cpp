#include "tests/fuzz/Invariants.h"

namespace tallowmere::test {
namespace {

// Longer than any text the monitor writes itself; the boxes hold what the operator typed.
constexpr std::size_t kMaxShownText = 80;

bool isSystemColour(Rgb c) {
  using namespace colour;
  return c == kWhite || c == kBlack || c == kGreen || c == kGrey || c == kRed || c == kDarkGrey || c == kLightGrey;
}

std::string broken(Field f, const char* rule) {
  return std::string(nameOf(f)) + " " + rule;
}

}  // namespace

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

}  // namespace tallowmere::test
