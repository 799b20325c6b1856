// The monitor's window in this process, on a form driven directly: what the widgets show,
// read by their field names, and what the operator's typing and clicks do.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "display/RdsCharset.h"
#include "platform/MonitorWindow.h"
#include "platform/QtText.h"
#include "tests/support/Harness.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

// PS "R&B Süd " (0x99 is 'ü' in the RDS table) with the traffic programme flag and the
// announcement flag `ta`, between the segments of the RadioText "Rock & Soul" ended by CR.
std::string station(char ta) {
  const char* ps[] = {"5226", "4220", "5399", "6420"};
  const char* rt[][2] = {{"526F", "636B"}, {"2026", "2053"}, {"6F75", "6C0D"}};
  std::string lines;
  for (int s = 0; s < 4; ++s) {
    const char n = static_cast<char>('0' + s);
    lines += hexLine("D42A", std::string{'0', '4', ta, n}, "E0CD", ps[s]);
    if (s < 3) lines += hexLine("D42A", std::string{'2', '4', '0', n}, rt[s][0], rt[s][1]);
  }
  return lines;
}

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
  void receive(const std::string& lines) {
    for (std::size_t at = 0, lf; (lf = lines.find('\n', at)) != std::string::npos; at = lf + 1) {
      monitor.receive(lines.substr(at, lf + 1 - at));
    }
    window.render();
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
        const QColor background = qcolour(state.background.value_or(colour::kDarkGrey));
        EXPECT_EQ(shot.pixelColor(w->geometry().left() + 3, w->geometry().bottom() - 3), background);
      }
    }
  }

  Harness monitor;
  MonitorWindow window{monitor.form};
};

// The title says whether the receiver is there: not when it failed to open at start, then
// once it opens, and not again after a hang-up.
TEST_F(Window, ShowsTheModelThroughStartupAndALiveStation) {
  const QString away = "Tallowmere (receiver not connected)";
  EXPECT_EQ(window.windowTitle(), away);
  monitor.form.receiverConnected();
  window.render();
  EXPECT_EQ(window.windowTitle(), "Tallowmere");
  EXPECT_EQ(window.focusWidget(), widget<QWidget>(Field::cmdSetFreq));
  expectWidgetsMatchModel();
  monitor.form.tmrSetFreqAtStart_Timer();
  receive(" RDS STEREO RSSI: 47\r\n" + station('1'));
  EXPECT_EQ(widget(Field::lblPS)->text(), QString::fromUtf8("R&B Süd "));
  expectWidgetsMatchModel();
  receive(" --- MONO RSSI: 07\r\n" + station('0'));
  expectWidgetsMatchModel();
  monitor.form.receiverDisconnected();
  window.render();
  EXPECT_EQ(window.windowTitle(), away);
}

// The box shows what the operator typed, through repaints, until a handler puts something
// else there; the model holds a character beyond Latin-1 as SUB, which no command carries.
TEST_F(Window, KeepsTheOperatorsTypingAsTyped) {
  // clang-format off
  struct Case { Field box; const char* typed; std::string held; std::vector<std::string> sent;
    const char* shownAfterClick; };
  // clang-format on
  const std::vector<Case> cases = {
      {Field::txtVol, "8€", "8\x1A", {"v8\r\n"}, "8€"},
      {Field::txtFreq, "88.8€", "88.8\x1A", {"f8880\r\n"}, "88.8€"},
      {Field::txtFreq, "Ω", "\x1A", {}, "INVALID"},
  };
  monitor.clock.advanceTo(5000);  // past the start-up tune
  for (const Case& c : cases) {
    auto* box = widget<QLineEdit>(c.box);
    box->selectAll();
    box->insert(QString::fromUtf8(c.typed));
    monitor.clock.advanceTo(monitor.clock.now() + 2000);  // a poll, and a repaint
    window.render();
    EXPECT_EQ(box->text(), QString::fromUtf8(c.typed));
    EXPECT_EQ(monitor.text(c.box), c.held);
    monitor.port.sent.clear();
    widget<QPushButton>(c.box == Field::txtVol ? Field::cmdSetVolume : Field::cmdSetFreq)->click();
    EXPECT_EQ(monitor.sentLines(), c.sent);
    EXPECT_EQ(box->text(), QString::fromUtf8(c.shownAfterClick));
  }
}

// The widest names of the RDS table show whole, drawn smaller; others keep the field's size.
TEST_F(Window, FitsEveryProgrammeServiceName) {
  QLabel* ps = widget(Field::lblPS);
  const QFont normal = ps->font();
  const auto width = [&](unsigned char b) {
    return QFontMetrics(normal).horizontalAdvance(QChar(rdsDisplayCharacter(b)));
  };
  unsigned char widest = ' ';
  for (unsigned char b = 0x21; b <= 0xFE; ++b) widest = width(b) > width(widest) ? b : widest;
  for (const std::string& name :
       {std::string("WWWWWWWW"), std::string("MMMMMMMM"), std::string(8, widest), std::string("RADIO  1")}) {
    monitor.form.fields().setText(Field::lblPS, name);
    window.render();
    EXPECT_LE(QFontMetrics(ps->font()).horizontalAdvance(ps->text()), ps->contentsRect().width()) << name;
  }
  EXPECT_EQ(ps->font(), normal);
}

}  // namespace
}  // namespace tallowmere::test
