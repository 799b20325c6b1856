#include "display/DisplayModel.h"

namespace tallowmere {

DisplayModel::DisplayModel() {
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const FieldDefinition& definition = fieldDefinitions()[i];
    fields_[i] = FieldState{std::string(definition.createdText), definition.look.foreground,
                            definition.look.background, true};
  }
  changed_.set();
}

void DisplayModel::setText(Field f, std::string_view text) {
  FieldState& s = at(f);
  if (s.text == text) return;
  s.text.assign(text);
  changed_.set(index(f));
}

void DisplayModel::setForeground(Field f, Rgb c) {
  update(f, &FieldState::foreground, c);
}

void DisplayModel::setBackground(Field f, Rgb c) {
  update(f, &FieldState::background, c);
}

void DisplayModel::setVisible(Field f, bool visible) {
  update(f, &FieldState::visible, visible);
}

void DisplayModel::light(Field f) {
  setForeground(f, colour::kWhite);
  setBackground(f, colour::kGreen);
}

void DisplayModel::darken(Field f) {
  setForeground(f, colour::kGrey);
  setBackground(f, colour::kBlack);
}

}  // namespace tallowmere
