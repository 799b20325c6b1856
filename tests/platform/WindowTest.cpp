// The monitor's window in this process, on a pseudo-terminal the test owns: what the
// widgets show, read by their field names, after start-up and through a live station.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/FieldWidget.h"
#include "platform/Monitor.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the event loop until `condition` holds or `limit` has passed.
template <typename Condition>
bool pumpUntil(Condition condition, std::chrono::milliseconds limit = 8000ms) {
  const auto end = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > end) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

void pumpFor(std::chrono::milliseconds duration) {
  pumpUntil([] { return false; }, duration);
}

std::string fromLatin1(const QString& text) {
  return text.toLatin1().toStdString();
}

QColor qcolour(Rgb rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb));
}

// The station of this test: PS "R&B Süd " (0x99 is 'ü' in the RDS table) with the traffic
// programme flag, an announcement on, and the RadioText "Rock & Soul" ended by CR.
std::string psGroups(const char* taBit) {
  const char* segments[] = {"5226", "4220", "5399", "6420"};
  std::string lines;
  for (int s = 0; s < 4; ++s) {
    lines += std::string(">>> D42A:04") + taBit + std::to_string(s) + ":E0CD:" + segments[s] + "<\r\n";
  }
  return lines;
}

std::string radioTextGroups() {
  std::string lines;
  for (int i = 0; i < 10; ++i) {
    lines += ">>> D42A:2400:526F:636B<\r\n>>> D42A:2401:2026:2053<\r\n>>> D42A:2402:6F75:6C0D<\r\n";
  }
  return lines;
}

class Window : public InWorkingFolder {
 protected:
  void SetUp() override {
    InWorkingFolder::SetUp();
    writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
    pty = std::make_unique<PseudoTerminal>();
    pty->linkAt(folder / "receiver");
    monitor = std::make_unique<Monitor>();
    monitor->start();
  }
  void TearDown() override {
    monitor.reset();
    pty.reset();
    InWorkingFolder::TearDown();
  }

  template <typename W = QWidget>
  W* widget(const char* name) {
    return monitor->window().findChild<W*>(QString::fromLatin1(name));
  }
  QString labelText(const char* name) { return widget<QLabel>(name)->text(); }

  // Waits for the start-up tune, after which the receive gate is open.
  void waitForStartupTune() {
    std::string sent;
    ASSERT_TRUE(pumpUntil([&] {
      sent += pty->read();
      return sent.find("v8\r\n") != std::string::npos;
    })) << sent;
  }

  void receive(const std::string& bytes) {
    pty->write(bytes);
    pumpFor(150ms);
  }

  // Every field's widget shows exactly what the display model holds.
  void expectWidgetsMatchModel() {
    monitor->window().render();
    const DisplayModel& model = monitor->form().fields();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
      const Field f = static_cast<Field>(i);
      const FieldDefinition& definition = definitionOf(f);
      const FieldState& state = model[f];
      const std::string name(definition.name);
      SCOPED_TRACE(name);
      QWidget* w = widget(name.c_str());
      ASSERT_NE(w, nullptr);
      EXPECT_EQ(w->isHidden(), !state.visible);
      EXPECT_DOUBLE_EQ(w->font().pointSizeF(), definition.look.pointSizeHundredths / 100.0);
      EXPECT_EQ(w->font().bold(), definition.look.bold);
      const QPalette& p = w->palette();
      if (auto* label = qobject_cast<QLabel*>(w)) {
        const bool received =
            f == Field::lblPS || f == Field::lblRadioText || f == Field::lblRTA || f == Field::lblRTB;
        if (received) {
          EXPECT_EQ(label->text(), receivedTextForDisplay(state.text));
        } else {
          EXPECT_EQ(fromLatin1(label->text()), state.text);
        }
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(p.color(QPalette::WindowText), qcolour(state.foreground));
        EXPECT_EQ(label->autoFillBackground(), state.background.has_value());
        if (state.background) {
          EXPECT_EQ(p.color(QPalette::Window), qcolour(*state.background));
        }
        const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
        EXPECT_EQ(horizontal, definition.look.align == Align::Left    ? Qt::AlignLeft
                              : definition.look.align == Align::Right ? Qt::AlignRight
                                                                : Qt::AlignHCenter);
      } else if (auto* box = qobject_cast<QLineEdit*>(w)) {
        EXPECT_EQ(fromLatin1(box->text()), state.text);
        EXPECT_EQ(p.color(QPalette::Text), qcolour(state.foreground));
        EXPECT_EQ(p.color(QPalette::Base), qcolour(*state.background));
        EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
      } else {
        auto* button = qobject_cast<QPushButton*>(w);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(fromLatin1(button->text()), state.text);
        EXPECT_EQ(p.color(QPalette::ButtonText), qcolour(state.foreground));
      }
    }
  }

  // The background of a field, sampled just inside its lower left corner, away from
  // its centred or left-aligned text and its frame.
  QColor backgroundOf(const QImage& shot, const char* name) {
    const QRect r = widget(name)->geometry();
    return shot.pixelColor(r.left() + 3, r.bottom() - 3);
  }

  std::unique_ptr<PseudoTerminal> pty;
  std::unique_ptr<Monitor> monitor;
};

TEST_F(Window, ShowsTheModelThroughStartupAndALiveStation) {
  EXPECT_EQ(monitor->window().windowTitle(), "Tallowmere");
  EXPECT_EQ(monitor->window().size(), QSize(743, 511));
  EXPECT_EQ(monitor->window().focusWidget(), widget("cmdSetFreq"));
  EXPECT_EQ(labelText("lblPS"), "INITIALISING");
  EXPECT_EQ(widget<QLineEdit>("txtFreq")->text(), "88.8");
  for (const char* hidden : {"Label3", "lblClockTime", "Label6", "lblCToffset", "Label16", "lblUTCtime",
                             "Label19", "lblUTCdate"}) {
    EXPECT_TRUE(widget(hidden)->isHidden()) << hidden;
  }
  expectWidgetsMatchModel();

  waitForStartupTune();
  receive(" RDS STEREO RSSI: 47\r\n");
  EXPECT_EQ(labelText("lblRSSI"), "RSSI: 47 dBuV");
  EXPECT_EQ(widget("lblStereo")->palette().color(QPalette::Window), qcolour(colour::kGreen));

  // Back to back in one write, and one line cut at an odd place.
  const std::string ps = psGroups("1");
  receive(ps.substr(0, 37));
  receive(ps.substr(37) + ps);
  receive(radioTextGroups());
  EXPECT_EQ(labelText("lblPS"), QString::fromUtf8("R&B Süd "));
  EXPECT_EQ(labelText("lblTraffic"), "TRAFFIC ANNOUNCEMENT");
  EXPECT_TRUE(labelText("lblRadioText").startsWith("Rock & Soul"));
  EXPECT_EQ(labelText("lblRDScount"), "30");
  expectWidgetsMatchModel();

  receive(" --- MONO RSSI: 07\r\n");
  EXPECT_EQ(widget("lblStereo")->palette().color(QPalette::WindowText), qcolour(colour::kDarkGrey));
  EXPECT_EQ(widget("lblStereo")->palette().color(QPalette::Window), qcolour(colour::kBlack));
  expectWidgetsMatchModel();
}

TEST_F(Window, DrawsIndicatorsAndTheTrafficBannerInTheirColours) {
  const QColor grey = qcolour(colour::kDarkGrey);
  const QColor black = qcolour(colour::kBlack);
  const QColor green = qcolour(colour::kGreen);
  QImage shot = monitor->window().grab().toImage();
  EXPECT_EQ(shot.pixelColor(2, 2), grey);
  EXPECT_EQ(backgroundOf(shot, "Label1"), grey);  // a caption has no background of its own
  for (const char* dark : {"lblShowTA", "lblshowTP", "lblShowEON", "lblshowCT", "lblshowTMC", "lblshowRT",
                           "lbl0A", "lbl2A", "lbl15b", "lblTraffic"}) {
    EXPECT_EQ(backgroundOf(shot, dark), black) << dark;
  }

  waitForStartupTune();
  receive(psGroups("1") + radioTextGroups());
  shot = monitor->window().grab().toImage();
  for (const char* lit : {"lblshowTP", "lblshowRT", "lbl0A", "lbl2A"}) {
    EXPECT_EQ(backgroundOf(shot, lit), green) << lit;
  }
  // TA lights its text only.
  EXPECT_EQ(backgroundOf(shot, "lblShowTA"), black);
  EXPECT_EQ(widget("lblShowTA")->palette().color(QPalette::WindowText), qcolour(colour::kWhite));
  for (const char* dark : {"lblShowEON", "lblshowCT", "lblshowTMC", "lbl1A", "lbl0b"}) {
    EXPECT_EQ(backgroundOf(shot, dark), black) << dark;
  }
  EXPECT_EQ(backgroundOf(shot, "lblTraffic"), qcolour(colour::kRed));

  receive(psGroups("0"));
  shot = monitor->window().grab().toImage();
  EXPECT_EQ(labelText("lblTraffic"), "NORMAL BROADCAST");
  EXPECT_EQ(backgroundOf(shot, "lblTraffic"), green);
}

TEST_F(Window, TitleSaysWhenTheReceiverIsAway) {
  waitForStartupTune();
  pty.reset();
  EXPECT_TRUE(
      pumpUntil([&] { return monitor->window().windowTitle() == "Tallowmere (receiver not connected)"; }));
  EXPECT_EQ(readFile("traffic.txt"), "?\r\n");

  pty = std::make_unique<PseudoTerminal>();
  pty->linkAt(folder / "receiver");
  std::string sent;
  EXPECT_TRUE(pumpUntil([&] {
    sent += pty->read();
    return monitor->window().windowTitle() == "Tallowmere" && sent.find("v8\r\n") != std::string::npos;
  }));
  EXPECT_EQ(sent, "f8880\r\nv8\r\n");
}

// A press of SET VOL while the receiver floods the line is handled between chunks.
TEST_F(Window, HandlesAButtonPressDuringAFlood) {
  waitForStartupTune();
  std::string flood;
  for (int i = 0; i < 400; ++i) flood += psGroups(i % 2 ? "1" : "0") + " RDS STEREO RSSI: 47\r\n";
  flood += std::string(200'000, 'x');  // and a long stretch without LF
  std::atomic<bool> written = false;
  std::thread receiver([&] {
    pty->write(flood);
    written = true;
  });
  widget<QLineEdit>("txtVol")->setText("12");
  monitor->form().fields().setText(Field::txtVol, "12");
  QMetaObject::invokeMethod(widget<QPushButton>("cmdSetVolume"), "click", Qt::QueuedConnection);
  std::string sent;
  EXPECT_TRUE(pumpUntil([&] {
    sent += pty->read();
    return sent.find("v12\r\n") != std::string::npos;
  }, 3000ms)) << sent;
  // The window goes on reading, or the receiver could not finish writing.
  EXPECT_TRUE(pumpUntil([&] { return written.load(); }, 20000ms));
  receiver.join();
  pumpFor(200ms);
  EXPECT_EQ(labelText("lblRSSI"), "RSSI: 47 dBuV");
  expectWidgetsMatchModel();
}

}  // namespace
}  // namespace tallowmere::test
