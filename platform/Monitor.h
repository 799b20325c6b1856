#pragma once

#include "app/FrmMain.h"
#include "output/AtomicFileWriter.h"
#include "platform/MonitorWindow.h"
#include "platform/QtTimers.h"
#include "platform/SerialLink.h"

namespace tallowmere {

// The monitor program: the form with its serial line, timers and output files, and the
// window that shows it. Every event is handled to completion, then the window catches up.
class Monitor : private ReceiverEvents {
 public:
  Monitor();

  // Start-up, then the window is shown.
  void start();

  MonitorWindow& window() { return window_; }
  FrmMain& form() { return form_; }

 private:
  void chunkReceived(std::string_view chunk) override;
  void chunksDelivered() override;
  void receiverOpened() override;
  void receiverClosed() override;

  AtomicFileWriter files_;
  SerialLink serial_;
  QtTimers timers_;
  FrmMain form_;
  MonitorWindow window_;
};

}  // namespace tallowmere
