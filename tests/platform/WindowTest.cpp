// The monitor's window in this process: what the widgets show, read by their field
// names, for a form driven directly, and for the monitor on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "display/RdsCharset.h"
#include "platform/Monitor.h"
#include "platform/QtText.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/FakeReceiver.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

QColor qcolour(Rgb rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb));
}

bool pumpUntil(const std::function<bool()>& condition) {
  return eventually([&] {
    QApplication::processEvents();
    return condition();
  });
}

// PS "R&B Süd " (0x99 is 'ü' in the RDS table) with the traffic programme flag and the
// announcement flag `ta`, and the RadioText "Rock & Soul" ended by CR, sent ten times over.
std::string psGroups(char ta) {
  const char* segments[] = {"5226", "4220", "5399", "6420"};
  std::string lines;
  for (char s = '0'; s < '4'; ++s)
    lines += groupLine("D42A", std::string{'0', '4', ta, s}, "E0CD", segments[s - '0']);
  return lines;
}
std::string radioText() {
  std::string lines;
  for (int i = 0; i < 10; ++i) {
    lines += groupLine("D42A", "2400", "526F", "636B") + groupLine("D42A", "2401", "2026", "2053") +
             groupLine("D42A", "2402", "6F75", "6C0D");
  }
  return lines;
}

class Window : public InWorkingFolder {
 protected:
  void SetUp() override {
    InWorkingFolder::SetUp();
    writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  }
  void start() {
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
  W* widget(const char* name) {
    return window.findChild<W*>(QString::fromLatin1(name));
  }
  template <typename W = QLabel>
  W* widget(Field f) {
    return widget<W>(std::string(definitionOf(f).name).c_str());
  }
  // Every field's widget shows what the display model holds, in its colours: a background
  // is sampled inside the lower left corner, away from the text and the frame.
  void expectWidgetsMatchModel() {
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

  Monitor monitor;
  MonitorWindow window{monitor.form};
};

TEST_F(Window, ShowsTheModelThroughStartupAndALiveStation) {
  start();
  EXPECT_EQ(window.size(), QSize(743, 511));
  EXPECT_EQ(window.focusWidget(), widget<QWidget>("cmdSetFreq"));
  expectWidgetsMatchModel();
  monitor.form.tmrSetFreqAtStart_Timer();
  receive(" RDS STEREO RSSI: 47\r\n" + psGroups('1') + radioText());
  EXPECT_EQ(widget("lblPS")->text(), QString::fromUtf8("R&B Süd "));
  expectWidgetsMatchModel();
  receive(" --- MONO RSSI: 07\r\n" + psGroups('0'));
  expectWidgetsMatchModel();
}

// The box shows what the operator typed, through repaints, until a handler puts something
// else there; the model holds a character beyond Latin-1 as SUB, which no command carries.
TEST_F(Window, KeepsTheOperatorsTypingAsTyped) {
  struct Case {
    Field box;
    const char* typed;
    std::string held;
    const char* button;
    std::vector<std::string> sent;
    const char* shownAfterClick;
  };
  const std::vector<Case> cases = {
      {Field::txtVol, "8€", "8\x1A", "cmdSetVolume", {"v8\r\n"}, "8€"},
      {Field::txtFreq, "88.8€", "88.8\x1A", "cmdSetFreq", {"f8880\r\n"}, "88.8€"},
      {Field::txtFreq, "Ω", "\x1A", "cmdSetFreq", {}, "INVALID"},
  };
  start();
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
    widget<QPushButton>(c.button)->click();
    EXPECT_EQ(monitor.sentLines(), c.sent);
    EXPECT_EQ(box->text(), QString::fromUtf8(c.shownAfterClick));
  }
}

// The widest names of the RDS table show whole, drawn smaller; others keep the field's size.
TEST_F(Window, FitsEveryProgrammeServiceName) {
  start();
  QLabel* ps = widget("lblPS");
  const QFont normal = ps->font();
  unsigned char widest = ' ';
  for (int byte = 0x20; byte <= 0xFE; ++byte) {
    const auto width = [&](int b) {
      return QFontMetrics(normal).horizontalAdvance(QChar(rdsDisplayCharacter(b)));
    };
    if (width(byte) > width(widest)) widest = static_cast<unsigned char>(byte);
  }
  for (const std::string& name :
       {std::string("WWWWWWWW"), std::string("MMMMMMMM"), std::string(8, widest), std::string("RADIO  1")}) {
    monitor.form.fields().setText(Field::lblPS, name);
    window.render();
    EXPECT_LE(QFontMetrics(ps->font()).horizontalAdvance(ps->text()), ps->contentsRect().width()) << name;
  }
  EXPECT_EQ(ps->font(), normal);
}

// The title says whether the receiver is there: not at start, then plugged in, then gone.
// The monitor repaints the lines it receives.
TEST_F(Window, TitleSaysWhenTheReceiverIsAway) {
  const QString away = "Tallowmere (receiver not connected)";
  tallowmere::Monitor live;
  live.start();
  EXPECT_EQ(live.window().windowTitle(), away);
  auto pty = std::make_unique<PseudoTerminal>();
  pty->linkAt(folder / "receiver");
  std::string sent;
  ASSERT_TRUE(pumpUntil([&] { return (sent += pty->read()).find("v8\r\n") != std::string::npos; })) << sent;
  EXPECT_EQ(live.window().windowTitle(), "Tallowmere");
  pty->write(" RDS STEREO RSSI: 47\r\n");
  EXPECT_TRUE(
      pumpUntil([&] { return live.window().findChild<QLabel*>("lblRSSI")->text() == "RSSI: 47 dBuV"; }));
  pty.reset();
  EXPECT_TRUE(pumpUntil([&] { return live.window().windowTitle() == away; }));
}

}  // namespace
}  // namespace tallowmere::test
