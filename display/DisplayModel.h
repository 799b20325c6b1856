#pragma once

#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "display/Fields.h"

namespace tallowmere {

// What one field shows right now.
struct FieldState {
  std::string text;  // caption of a label or button, text of a text box
  Rgb foreground;
  std::optional<Rgb> background;
  bool visible = true;

  bool operator==(const FieldState&) const = default;
};

// Every field of the window by name: the system's display model. Decoders write it, a
// few rules read indicator colours back from it, and the window renders it. Each write
// that changes something marks the field, so the window repaints only what changed.
class DisplayModel {
 public:
  DisplayModel();

  const FieldState& operator[](Field f) const { return fields_[index(f)]; }

  void setText(Field f, std::string_view text);
  void setForeground(Field f, Rgb c);
  void setBackground(Field f, Rgb c);
  void setVisible(Field f, bool visible);

  // The indicator convention: lit is white on green, dark is grey on black, and a field
  // counts as lit when its text is white.
  void light(Field f);
  void darken(Field f);
  bool isLit(Field f) const { return (*this)[f].foreground == colour::kWhite; }

  bool changed(Field f) const { return changed_[index(f)]; }
  bool anyChanged() const { return changed_.any(); }
  void clearChanges() { changed_.reset(); }

 private:
  static std::size_t index(Field f) { return static_cast<std::size_t>(f); }
  FieldState& at(Field f) { return fields_[index(f)]; }
  // Sets one property of a field, marking the field changed only if the value differs.
  template <typename T>
  void update(Field f, T FieldState::*property, std::type_identity_t<T> value) {
    T& current = at(f).*property;
    if (current == value) return;
    current = value;
    changed_.set(index(f));
  }

  std::array<FieldState, kFieldCount> fields_;
  std::bitset<kFieldCount> changed_;
};

}  // namespace tallowmere
