#include "platform/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace tallowmere {
namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char byte = 0;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the signals then end it at once
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_, &QSocketNotifier::activated, [this] {
    char byte;
    while (::read(signalPipe[0], &byte, 1) > 0) {
    }
    onStop_();
  });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace tallowmere
