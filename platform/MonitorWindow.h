#pragma once

#include <QWidget>
#include <vector>

#include "form/FrmMain.h"
#include "platform/FieldWidget.h"

namespace tallowmere {

// The one window: every field as a widget in its row. It renders the display model and
// hands the operator's clicks and typing to the form; it decides nothing itself.
class MonitorWindow : public QWidget {
 public:
  explicit MonitorWindow(FrmMain& form);

  // Shows every field that changed since the last call, and the title.
  void render();
  // Shows every field, changed or not.
  void renderAll();
  // Where a field lies in the window, in pixels.
  QRect placeOf(Field f) const { return fields_[static_cast<std::size_t>(f)].widget()->geometry(); }

 private:
  void placeFields();
  void setTabOrder();
  void forwardClick(Field button);
  FieldWidget& fieldWidget(Field f) { return fields_[static_cast<std::size_t>(f)]; }

  FrmMain& form_;
  std::vector<FieldWidget> fields_;
};

}  // namespace tallowmere
