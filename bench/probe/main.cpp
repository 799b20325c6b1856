// tallowmere-probe: the monitor program with time stamps, for the benchmarks only.
//
//   tallowmere-probe SECONDS [STAMPS]
//
// Runs the monitor exactly as tallowmere does for SECONDS, then prints key=value lines:
// how long the window took to show (when TALLOWMERE_PROBE_T0 holds the launch time in
// nanoseconds of CLOCK_REALTIME), how many chunks and group lines it handled, and how
// long presses of "SET VOL" made while groups were pouring in waited for their handler.
// STAMPS receives, for every chunk, the CLOCK_MONOTONIC time in nanoseconds at which the
// form had handled it, to set against the simulated receiver's --stamps.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/Monitor.h"

namespace {

using Steady = std::chrono::steady_clock;

std::int64_t nanoseconds(std::chrono::nanoseconds since) {
  return since.count();
}

// A press is made only while the receiver is flooding: a group line arrived this recently.
constexpr auto kFloodingWithin = std::chrono::milliseconds(50);
constexpr int kPressIntervalMs = 500;

class Probe : public QObject {
 public:
  Probe(tallowmere::Monitor& monitor, std::size_t expectedChunks) : monitor_(monitor) {
    stamps_.reserve(expectedChunks);
    monitor.onChunkHandled([this](std::string_view chunk) { chunkHandled(chunk); });
    button_ = monitor.window().findChild<QPushButton*>(QStringLiteral("cmdSetVolume"));
    connect(button_, &QPushButton::clicked, this, &Probe::pressHandled);
    connect(&pressTimer_, &QTimer::timeout, this, &Probe::pressIfFlooding);
    pressTimer_.start(kPressIntervalMs);
    monitor.window().installEventFilter(this);
  }

  // Prints the figures and writes the stamps; false if the stamps could not be written.
  bool report(const char* stampsPath) {
    if (shownNs_) std::printf("shown_ms=%.1f\n", static_cast<double>(*shownNs_) / 1e6);
    std::printf("chunks=%zu\ngroup_lines=%ld\ndecoded=%ld\n", stamps_.size(), groupLines_,
                monitor_.form().groupsDecoded());
    std::sort(waitsNs_.begin(), waitsNs_.end());
    std::printf("presses=%zu\n", waitsNs_.size());
    if (!waitsNs_.empty()) {
      std::printf("press_wait_median_ms=%.3f\npress_wait_max_ms=%.3f\n",
                  static_cast<double>(waitsNs_[waitsNs_.size() / 2]) / 1e6,
                  static_cast<double>(waitsNs_.back()) / 1e6);
    }
    if (stampsPath == nullptr) return true;
    std::FILE* out = std::fopen(stampsPath, "w");
    if (out == nullptr) return false;
    for (const std::int64_t ns : stamps_) std::fprintf(out, "%lld\n", static_cast<long long>(ns));
    return std::fclose(out) == 0;
  }

 private:
  void chunkHandled(std::string_view chunk) {
    const Steady::time_point now = Steady::now();
    stamps_.push_back(nanoseconds(now.time_since_epoch()));
    if (chunk.starts_with(">>> ")) {
      ++groupLines_;
      lastGroupLine_ = now;
    }
  }

  void pressIfFlooding() {
    if (pressedAt_ || Steady::now() - lastGroupLine_ > kFloodingWithin) return;
    const QPointF centre = QRectF(button_->rect()).center();
    pressedAt_ = Steady::now();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QCoreApplication::postEvent(button_, new QMouseEvent(type, centre, button_->mapToGlobal(centre),
                                                           Qt::LeftButton, held, Qt::NoModifier));
    }
  }

  void pressHandled() {
    if (!pressedAt_) return;
    waitsNs_.push_back(nanoseconds(Steady::now() - *pressedAt_));
    pressedAt_.reset();
  }

  // The window counts as shown once its first paint has been done.
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !firstPaintSeen_) {
      firstPaintSeen_ = true;
      QTimer::singleShot(0, this, [this] { shownNs_ = sinceLaunch(); });
    }
    return false;
  }

  static std::optional<std::int64_t> sinceLaunch() {
    const char* launched = std::getenv("TALLOWMERE_PROBE_T0");
    if (launched == nullptr) return std::nullopt;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return nanoseconds(now) - std::strtoll(launched, nullptr, 10);
  }

  tallowmere::Monitor& monitor_;
  QPushButton* button_ = nullptr;
  QTimer pressTimer_;
  std::vector<std::int64_t> stamps_;
  std::vector<std::int64_t> waitsNs_;
  long groupLines_ = 0;
  Steady::time_point lastGroupLine_;
  std::optional<Steady::time_point> pressedAt_;
  bool firstPaintSeen_ = false;
  std::optional<std::int64_t> shownNs_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: tallowmere-probe SECONDS [STAMPS]\n", stderr);
    return 2;
  }
  const double seconds = std::strtod(argv[1], nullptr);
  QApplication app(argc, argv);
  tallowmere::Monitor monitor;
  // Room for every line a flooded 115200-baud line carries, so stamping never allocates.
  Probe probe(monitor, static_cast<std::size_t>(seconds * 500) + 1000);
  monitor.start();
  QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QCoreApplication::quit);
  QApplication::exec();
  if (!probe.report(argc > 2 ? argv[2] : nullptr)) {
    std::fprintf(stderr, "tallowmere-probe: %s: %s\n", argv[2], std::strerror(errno));
    return 1;
  }
  return 0;
}
