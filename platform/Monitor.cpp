#include "platform/Monitor.h"

namespace tallowmere {
namespace {

constexpr int kFrameMs = 40;

}  // namespace

Monitor::Monitor()
    : serial_(*this),
      timers_([this](TimerId id) {
        form_.onTimer(id);
        window_.render();
      }),
      form_(serial_, timers_, files_),
      window_(form_) {
  form_.setStationLog(&log_);
  frameTimer_.setSingleShot(true);
  frameTimer_.setInterval(kFrameMs);
  QObject::connect(&frameTimer_, &QTimer::timeout, [this] { renderFrameEnded(); });
}

void Monitor::start() {
  form_.Form_Load();
  window_.renderAll();
  window_.show();
}

void Monitor::chunkReceived(std::string_view chunk) {
  form_.MSComm1_OnComm(chunk);
  if (chunkHandled_) chunkHandled_(chunk);
}

void Monitor::chunksDelivered() {
  renderReceived();
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
  window_.render();
}

void Monitor::receiverClosed() {
  form_.receiverDisconnected();
  window_.render();
}

}  // namespace tallowmere
