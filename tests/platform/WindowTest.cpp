// The monitor's window in this process, on a form driven directly: what the widgets show,
// read by their field names, and what the operator's typing and clicks do.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "display/RdsCharset.h"
#include "platform/MonitorWindow.h"
#include "platform/QtText.h"
#include "tests/support/Harness.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

class Window : public InWorkingFolder {
 protected:
  void SetUp() override {
    InWorkingFolder::SetUp();
    writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
    monitor.port.opens = false;
    monitor.load();
    window.renderAll();
    window.show();
  }
  // The status line, PS "R&B Süd " (octal 231 is 'ü' in the RDS table) with the announcement flag `ta`
  // and the RadioText "Rock & Soul" ended by CR; then every widget is checked.
  void receive(const char* status, bool ta) {
    const TestStation station{.flags = {.ta = ta}, .ps = "R&B S\231d "};
    monitor.receive(status);
    for (int k = 0; k < 4; ++k) monitor.receive(station.psLine(k));
    for (int k = 0; k < 3; ++k) monitor.receive(station.rtLine(false, k, "Rock & Soul\r"));
    window.render();
    expectWidgetsMatchModel();
  }
  template <typename W = QLabel>
  W* widget(Field f) {
    return window.findChild<W*>(qtText(definitionOf(f).name));
  }
  // Every field's widget shows what the display model holds, in its colours: a background
  // is sampled inside the lower left corner, away from the text and the frame.
  void expectWidgetsMatchModel() {
    const auto qcolour = [](Rgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); };
    const QImage shot = window.grab().toImage();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
      const Field f = static_cast<Field>(i);
      const FieldState& state = monitor.field(f);
      const bool received =
          f == Field::lblPS || f == Field::lblRadioText || f == Field::lblRTA || f == Field::lblRTB;
      QWidget* w = widget<QWidget>(f);
      SCOPED_TRACE(w->objectName().toStdString());
      EXPECT_EQ(w->isHidden(), !state.visible);
      EXPECT_EQ(w->property("text"), received ? receivedTextForDisplay(state.text) : qtText(state.text));
      EXPECT_EQ(w->palette().color(w->foregroundRole()), qcolour(state.foreground));
      if (state.visible && !qobject_cast<QPushButton*>(w)) {
        EXPECT_EQ(shot.pixelColor(w->geometry().bottomLeft() + QPoint(3, -3)),
                  qcolour(state.background.value_or(colour::kDarkGrey)));
      }
    }
  }

  Harness monitor;
  MonitorWindow window{monitor.form};
};

// The title tells whether the receiver is there: not at a failed start, once it opens, not after a hang-up.
TEST_F(Window, ShowsTheModelThroughStartupAndALiveStation) {
  const QString away = "Tallowmere (receiver not connected)";
  EXPECT_EQ(window.windowTitle(), away);
  monitor.form.receiverConnected();
  window.render();
  EXPECT_EQ(window.windowTitle(), "Tallowmere");
  EXPECT_EQ(window.focusWidget(), widget<QWidget>(Field::cmdSetFreq));
  expectWidgetsMatchModel();
  monitor.form.tmrSetFreqAtStart_Timer();
  receive(" RDS STEREO RSSI: 47\r\n", true);
  EXPECT_EQ(widget(Field::lblPS)->text(), QString::fromUtf8("R&B Süd "));
  receive(" --- MONO RSSI: 07\r\n", false);
  monitor.form.receiverDisconnected();
  window.render();
  EXPECT_EQ(window.windowTitle(), away);
}

// The box shows what the operator typed, through repaints, until a handler puts something
// else there; the model holds a character beyond Latin-1 as SUB, which no command carries.
TEST_F(Window, KeepsTheOperatorsTypingAsTyped) {
  const std::tuple<Field, const char*, std::string, std::vector<std::string>, const char*> cases[] = {
      {Field::txtVol, "8€", "8\x1A", {"v8\r\n"}, "8€"},
      {Field::txtFreq, "88.8€", "88.8\x1A", {"f8880\r\n"}, "88.8€"},
      {Field::txtFreq, "Ω", "\x1A", {}, "INVALID"}};
  monitor.clock.advanceTo(5000);  // past the start-up tune
  for (const auto& [field, typed, held, sent, shownAfterClick] : cases) {
    auto* box = widget<QLineEdit>(field);
    box->selectAll();
    box->insert(QString::fromUtf8(typed));
    monitor.clock.advanceTo(monitor.clock.now() + 2000);  // a poll, and a repaint
    window.render();
    EXPECT_EQ(box->text(), QString::fromUtf8(typed));
    EXPECT_EQ(monitor.text(field), held);
    monitor.port.sent.clear();
    widget<QPushButton>(field == Field::txtVol ? Field::cmdSetVolume : Field::cmdSetFreq)->click();
    EXPECT_EQ(monitor.sentLines(), sent);
    EXPECT_EQ(box->text(), QString::fromUtf8(shownAfterClick));
  }
}

// The widest names of the RDS table show whole in lblPS, drawn smaller (others keep the
// field's size), and so do "INVALID" and a frequency with three decimals in the frequency
// box: the painted text is as wide as the same text drawn alone in the field's font.
TEST_F(Window, ShowsTheWidestNamesAndFrequenciesWhole) {
  const auto inkWidth = [](const QImage& image) {  // from the first to the last white column inside the frame
    int first = image.width(), last = 0;
    for (int x = 3; x < image.width() - 3; ++x)
      for (int y = 3; y < image.height() - 3; ++y)
        if (qGray(image.pixel(x, y)) > 160) first = std::min(first, x), last = std::max(last, x);
    return last - first;
  };
  const QFont normal = widget(Field::lblPS)->font();
  const auto width = [&](unsigned char b) {
    return QFontMetrics(normal).horizontalAdvance(QChar(rdsDisplayCharacter(b)));
  };
  unsigned char widest = ' ';
  for (unsigned char b = 0x21; b <= 0xFE; ++b) widest = width(b) > width(widest) ? b : widest;
  for (const auto& [field, text] : {std::pair{Field::lblPS, std::string("WWWWWWWW")},
                                    {Field::lblPS, std::string(8, widest)},
                                    {Field::txtFreq, std::string("INVALID")},
                                    {Field::txtFreq, std::string("107.950")},
                                    {Field::lblPS, std::string("RADIO  1")}}) {
    QWidget* w = widget<QWidget>(field);
    monitor.form.fields().setText(field, text);
    window.render();
    QImage alone(600, w->height(), QImage::Format_RGB32);
    alone.fill(Qt::black);
    QPainter painter(&alone);
    painter.setFont(w->font());
    painter.setPen(Qt::white);
    painter.drawText(alone.rect(), Qt::AlignCenter, receivedTextForDisplay(text));
    EXPECT_NEAR(inkWidth(w->grab().toImage()), inkWidth(alone), 1) << text;
  }
  EXPECT_EQ(widget(Field::lblPS)->font(), normal);
}

}  // namespace
}  // namespace tallowmere::test
