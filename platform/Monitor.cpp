#include "platform/Monitor.h"

#include <filesystem>

#include "display/RdsCharset.h"
#include "log/CoreListeners.h"
#include "platform/web/PageLayout.h"
#include "station/StationJson.h"

namespace tallowmere {
namespace {

constexpr int kFrameMs = 40;

}  // namespace

Monitor::Monitor()
    : serial_(*this),
      timers_([this](TimerId id) {
        form_.onTimer(id);
        showChanges();
      }),
      station_([] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
      }),
      form_(serial_, timers_, files_),
      window_(form_) {
  connectCoreListeners(form_, station_, checks_, log_, nowPlaying_);
  log_.setEventListener([this](const LogLine& line) { events_.add(line); });
  frameTimer_.setSingleShot(true);
  frameTimer_.setInterval(kFrameMs);
  QObject::connect(&frameTimer_, &QTimer::timeout, [this] { renderFrameEnded(); });
}

void Monitor::start() {
  form_.Form_Load();
  window_.renderAll();
  window_.show();
  startWebServer();
  startCommandRunner();
  notifier_.ready();
}

// The alarms go to the [Checks] Command, after the log has named their evidence.
void Monitor::startCommandRunner() {
  const CheckSettings& settings = checks_.settings();
  if (settings.command.empty()) return;
  command_ = std::make_unique<CommandRunner>(
      settings.command, settings.commandTimeoutSeconds, std::filesystem::current_path().string(), [this] {
        const Station& s = station_.station();
        return AlarmContext{s.pi ? hexText(*s.pi, 4) : "", s.ps ? rdsTextUtf8(*s.ps) : "",
                            form_.tunedFrequency(), log_.lastEvidence()};
      });
  checks_.addListener(command_.get());
}

void Monitor::startWebServer() {
  const WebSettings& settings = form_.webSettings();
  if (!settings.enabled) return;
  WebSources sources{form_,
                     station_,
                     files_,
                     events_,
                     pageLayoutJson([this](Field f) { return window_.placeOf(f); }),
                     [this] { showChanges(); },
                     &checks_};
  web_ = std::make_unique<WebServer>(std::move(sources), settings);
  if (!web_->listen()) {
    web_.reset();
    return;
  }
  form_.addListener(web_.get());
}

void Monitor::showChanges() {
  window_.render();
  if (web_) web_->touched();
}

void Monitor::chunkReceived(std::string_view chunk) {
  form_.MSComm1_OnComm(chunk);
  if (chunkHandled_) chunkHandled_(chunk);
}

void Monitor::chunksDelivered() {
  renderReceived();
  if (web_) web_->touched();
}

// The first lines after a quiet spell show at once; lines that follow within a frame
// show together at its end.
void Monitor::renderReceived() {
  if (frameTimer_.isActive()) {
    receivedSinceFrame_ = true;
    return;
  }
  window_.render();
  frameTimer_.start();
}

void Monitor::renderFrameEnded() {
  if (!receivedSinceFrame_) return;
  receivedSinceFrame_ = false;
  window_.render();
  frameTimer_.start();
}

void Monitor::receiverOpened() {
  form_.receiverConnected();
  showChanges();
}

void Monitor::receiverClosed() {
  form_.receiverDisconnected();
  showChanges();
}

}  // namespace tallowmere
