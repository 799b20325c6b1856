#pragma once

#include <QString>
#include <QWidget>
#include <initializer_list>
#include <string_view>

#include "display/DisplayModel.h"

namespace tallowmere {

// One field of the window as a widget: a label, a text box or a button, created with
// the field's look, named after the field, and showing what the display model holds.
class FieldWidget {
 public:
  FieldWidget(Field field, QWidget* parent);

  QWidget* widget() const { return widget_; }
  Field field() const { return field_; }

  // Shows the field's text, colours and visibility.
  void render(const FieldState& state);
  // Draws the field's text as large as its look allows and small enough that each of
  // `texts` fits whole.
  void fitText(std::initializer_list<QString> texts);
  // What the operator typed into a text box, as the model holds text: one byte per
  // character, characters beyond Latin-1 as SUB, which no command carries.
  std::string typedText() const;

 private:
  void renderText(std::string_view text);
  int textRoom() const;
  void renderColours(const FieldState& state);

  Field field_;
  QWidget* widget_;
};

// A received text as the station meant it, through the RDS character table.
QString receivedTextForDisplay(std::string_view bytes);

}  // namespace tallowmere
