#include "platform/web/PageLayout.h"

#include "platform/WindowLayout.h"

namespace tallowmere {
namespace {

const char* kindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::TextBox:
      return "textbox";
    case FieldKind::Button:
      return "button";
    case FieldKind::Label:
      break;
  }
  return "label";
}

const char* alignName(Align align) {
  switch (align) {
    case Align::Centre:
      return "centre";
    case Align::Right:
      return "right";
    case Align::Left:
      break;
  }
  return "left";
}

const char* borderName(Border border) {
  switch (border) {
    case Border::Single:
      return "single";
    case Border::Sunken:
      return "sunken";
    case Border::None:
      break;
  }
  return "none";
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
    out += "{\"name\": \"" + std::string(d.name) + "\", \"kind\": \"" + kindName(d.kind) + "\"";
    out += ", \"x\": " + std::to_string(r.x()) + ", \"y\": " + std::to_string(r.y()) +
           ", \"w\": " + std::to_string(r.width()) + ", \"h\": " + std::to_string(r.height());
    // Points at 96 dpi, the window's own resolution.
    out += ", \"size\": " + std::to_string(d.look.pointSizeHundredths * 96 / 7200.0);
    out += std::string(", \"bold\": ") + (d.look.bold ? "true" : "false");
    out += std::string(", \"align\": \"") + alignName(d.look.align) + "\", \"border\": \"" +
           borderName(d.look.border) + "\", \"face\": \"" + (d.look.face == Face::Mono ? "mono" : "sans") +
           "\"}";
  }
  return out + "]}";
}

}  // namespace tallowmere
