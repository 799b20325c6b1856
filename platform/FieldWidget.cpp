#include "platform/FieldWidget.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>

#include "display/RdsCharset.h"
#include "platform/AccessibleNames.h"
#include "platform/QtText.h"

namespace tallowmere {
namespace {

// Fields that show text received from the station, drawn through the RDS table.
Qt::Alignment alignmentOf(Align align) {
  switch (align) {
    case Align::Left:
      return Qt::AlignLeft | Qt::AlignVCenter;
    case Align::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Centre:
      break;
  }
  return Qt::AlignCenter;
}

QFont fontOf(const Look& look) {
  QFont font(look.face == Face::Mono ? QStringLiteral("Liberation Mono") : QStringLiteral("Liberation Sans"));
  font.setStyleHint(look.face == Face::Mono ? QFont::Monospace : QFont::SansSerif);
  font.setPointSizeF(look.pointSizeHundredths / 100.0);
  font.setBold(look.bold);
  return font;
}

QColor colourOf(Rgb rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QWidget* createWidget(const FieldDefinition& definition, QWidget* parent) {
  const QString text = qtText(definition.createdText);
  switch (definition.kind) {
    case FieldKind::TextBox: {
      auto* box = new QLineEdit(text, parent);
      box->setAlignment(alignmentOf(definition.look.align));
      return box;
    }
    case FieldKind::Button:
      return new QPushButton(text, parent);
    case FieldKind::Label:
      break;
  }
  auto* label = new QLabel(text, parent);
  // Received text may hold "&" or "<": it is shown as it stands, never as markup or an
  // access key.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(alignmentOf(definition.look.align));
  if (definition.look.border == Border::Sunken) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(2);
  } else if (definition.look.border == Border::Single) {
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
  }
  return label;
}

}  // namespace

QString receivedTextForDisplay(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[static_cast<qsizetype>(i)] = QChar(rdsDisplayCharacter(static_cast<unsigned char>(bytes[i])));
  }
  return text;
}

FieldWidget::FieldWidget(Field field, QWidget* parent)
    : field_(field), widget_(createWidget(definitionOf(field), parent)) {
  const FieldDefinition& definition = definitionOf(field);
  widget_->setObjectName(qtText(definition.name));
  widget_->setAccessibleName(accessibleNameOf(field));
  widget_->setFont(fontOf(definition.look));
  if (definition.kind == FieldKind::Label) widget_->setFocusPolicy(Qt::NoFocus);
}

void FieldWidget::render(const FieldState& state) {
  renderText(state.text);
  renderColours(state);
  widget_->setVisible(state.visible);
}

std::string FieldWidget::typedText() const {
  return typedBytes(static_cast<QLineEdit*>(widget_)->text());
}

void FieldWidget::renderText(std::string_view text) {
  const QString shown = showsReceivedText(field_) ? receivedTextForDisplay(text) : qtText(text);
  switch (definitionOf(field_).kind) {
    case FieldKind::Label:
      if (field_ == Field::lblPS) fitText({shown});
      static_cast<QLabel*>(widget_)->setText(shown);
      return;
    case FieldKind::Button:
      static_cast<QPushButton*>(widget_)->setText(shown);
      return;
    case FieldKind::TextBox:
      // The box keeps what the operator typed, characters beyond Latin-1 included, until
      // a handler puts something else there; rewriting it would also move the cursor.
      if (typedText() != text) static_cast<QLineEdit*>(widget_)->setText(shown);
      return;
  }
}

// The programme service name's large font leaves no room to spare: the widest names
// would lose their edges, so those alone are drawn as large as fits.
void FieldWidget::fitText(std::initializer_list<QString> texts) {
  const int room = textRoom();
  QFont font = fontOf(definitionOf(field_).look);
  const auto tooWide = [&] {
    for (const QString& text : texts) {
      if (QFontMetrics(font).horizontalAdvance(text) > room) return true;
    }
    return false;
  };
  while (font.pointSizeF() > 1.0 && tooWide()) font.setPointSizeF(font.pointSizeF() - 0.25);
  if (font != widget_->font()) widget_->setFont(font);
}

// A text box draws inside its frame, with a margin of a few pixels on either side and
// room for the cursor.
int FieldWidget::textRoom() const {
  const int room = widget_->contentsRect().width();
  if (definitionOf(field_).kind != FieldKind::TextBox) return room;
  const int frame = widget_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget_);
  return room - 2 * (frame + 4);
}

void FieldWidget::renderColours(const FieldState& state) {
  QPalette palette = widget_->palette();
  const QColor foreground = colourOf(state.foreground);
  switch (definitionOf(field_).kind) {
    case FieldKind::Label:
      palette.setColor(QPalette::WindowText, foreground);
      if (state.background) palette.setColor(QPalette::Window, colourOf(*state.background));
      static_cast<QLabel*>(widget_)->setAutoFillBackground(state.background.has_value());
      break;
    case FieldKind::TextBox:
      palette.setColor(QPalette::Text, foreground);
      if (state.background) palette.setColor(QPalette::Base, colourOf(*state.background));
      break;
    case FieldKind::Button:
      palette.setColor(QPalette::ButtonText, foreground);
      break;
  }
  if (palette != widget_->palette()) widget_->setPalette(palette);
}

}  // namespace tallowmere
