#include "tools/sim/StopSignal.h"

#include <csignal>

namespace tallowmere {
namespace {

volatile std::sig_atomic_t stopFlag = 0;

void onStopSignal(int) {
  stopFlag = 1;
}

}  // namespace

void catchStopSignals() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: poll returns at once
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() {
  return stopFlag != 0;
}

}  // namespace tallowmere
