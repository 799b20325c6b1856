#include "platform/Monitor.h"

namespace tallowmere {

Monitor::Monitor()
    : serial_(*this),
      timers_([this](TimerId id) {
        form_.onTimer(id);
        window_.render();
      }),
      form_(serial_, timers_, files_),
      window_(form_) {}

void Monitor::start() {
  form_.Form_Load();
  window_.renderAll();
  window_.show();
}

void Monitor::chunkReceived(std::string_view chunk) {
  form_.MSComm1_OnComm(chunk);
}

void Monitor::chunksDelivered() {
  window_.render();
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
