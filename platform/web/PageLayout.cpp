#include "platform/web/PageLayout.h"

#include "platform/WindowLayout.h"

namespace tallowmere {
namespace {

// The names of the look's enumerators, in their order.
constexpr const char* kKindNames[] = {"label", "textbox", "button"};
constexpr const char* kAlignNames[] = {"left", "centre", "right"};
constexpr const char* kBorderNames[] = {"none", "single", "sunken"};

template <typename Enum, std::size_t N>
const char* nameIn(const char* const (&names)[N], Enum value) {
  return names[static_cast<std::size_t>(value)];
}

}  // namespace

std::string pageLayoutJson(const std::function<QRect(Field)>& placeOf) {
  std::string out = "{\"width\": " + std::to_string(kClientWidth) +
                    ", \"height\": " + std::to_string(kClientHeight) + ", \"fields\": [";
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    const FieldDefinition& d = definitionOf(f);
    const QRect r = placeOf(f);
    if (i > 0) out += ", ";
    out += "{\"name\": \"" + std::string(d.name) + "\", \"kind\": \"" + nameIn(kKindNames, d.kind) + "\"";
    out += ", \"x\": " + std::to_string(r.x()) + ", \"y\": " + std::to_string(r.y()) +
           ", \"w\": " + std::to_string(r.width()) + ", \"h\": " + std::to_string(r.height());
    // Points at 96 dpi, the window's own resolution.
    out += ", \"size\": " + std::to_string(d.look.pointSizeHundredths * 96 / 7200.0);
    out += std::string(", \"bold\": ") + (d.look.bold ? "true" : "false");
    out += std::string(", \"align\": \"") + nameIn(kAlignNames, d.look.align) + "\", \"border\": \"" +
           nameIn(kBorderNames, d.look.border) + "\", \"face\": \"" +
           (d.look.face == Face::Mono ? "mono" : "sans") + "\"}";
  }
  return out + "]}";
}

}  // namespace tallowmere
