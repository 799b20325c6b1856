#include "platform/MonitorWindow.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>

#include "platform/QtText.h"
#include "platform/WindowLayout.h"

namespace tallowmere {

MonitorWindow::MonitorWindow(FrmMain& form) : form_(form) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(qtText(form_.windowTitle()));
  setWindowIcon(QIcon(QStringLiteral(":/tallowmere.png")));
  QPalette background = palette();
  background.setColor(QPalette::Window, QColor::fromRgb(colour::kDarkGrey));
  setPalette(background);
  setAutoFillBackground(true);

  fields_.reserve(kFieldCount);
  for (std::size_t i = 0; i < kFieldCount; ++i) fields_.emplace_back(static_cast<Field>(i), this);
  placeFields();
  // The frequency box shows "INVALID" and a frequency typed with three decimals whole;
  // longer typing scrolls.
  fieldWidget(Field::txtFreq).fitText({QStringLiteral("INVALID"), QStringLiteral("107.950")});
  setTabOrder();

  for (Field button : {Field::cmdSetFreq, Field::cmdSetVolume}) {
    connect(static_cast<QPushButton*>(fieldWidget(button).widget()), &QPushButton::clicked, this,
            [this, button] { forwardClick(button); });
  }
  for (Field box : {Field::txtFreq, Field::txtVol}) {
    connect(static_cast<QLineEdit*>(fieldWidget(box).widget()), &QLineEdit::textEdited, this,
            [this, box] { form_.fields().setText(box, fieldWidget(box).typedText()); });
  }
  // The window keeps its size: the rows are laid out for it.
  setFixedSize(kClientWidth, kClientHeight);
}

void MonitorWindow::render() {
  DisplayModel& model = form_.fields();
  if (model.anyChanged()) {
    for (FieldWidget& w : fields_) {
      if (model.changed(w.field())) w.render(model[w.field()]);
    }
    model.clearChanges();
  }
  const QString title = qtText(form_.windowTitle());
  if (windowTitle() != title) setWindowTitle(title);
}

void MonitorWindow::renderAll() {
  for (FieldWidget& w : fields_) w.render(form_.fields()[w.field()]);
  form_.fields().clearChanges();
  render();
}

void MonitorWindow::placeFields() {
  const auto rects = layoutWindow([this](Field f) {
    const QWidget* w = fieldWidget(f).widget();
    return QFontMetrics(w->font()).horizontalAdvance(qtText(definitionOf(f).createdText)) + 10;
  });
  for (FieldWidget& w : fields_) {
    const Rect& r = rects[static_cast<std::size_t>(w.field())];
    w.widget()->setGeometry(r.x, r.y, r.width, r.height);
  }
}

// The four controls that take the focus, in their order; the focus starts on the
// CHANGE FREQ button.
void MonitorWindow::setTabOrder() {
  QWidget::setTabOrder(fieldWidget(Field::cmdSetFreq).widget(), fieldWidget(Field::txtFreq).widget());
  QWidget::setTabOrder(fieldWidget(Field::txtFreq).widget(), fieldWidget(Field::txtVol).widget());
  QWidget::setTabOrder(fieldWidget(Field::txtVol).widget(), fieldWidget(Field::cmdSetVolume).widget());
  fieldWidget(Field::cmdSetFreq).widget()->setFocus();
}

void MonitorWindow::forwardClick(Field button) {
  if (button == Field::cmdSetFreq) {
    form_.cmdSetFreq_Click();
  } else {
    form_.cmdSetVolume_Click();
  }
  render();
}

}  // namespace tallowmere
