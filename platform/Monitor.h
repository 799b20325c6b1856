#pragma once

#include <QTimer>
#include <functional>
#include <memory>

#include "checks/Checks.h"
#include "form/FrmMain.h"
#include "log/StationLog.h"
#include "log/WallClock.h"
#include "output/AtomicFileWriter.h"
#include "platform/CommandRunner.h"
#include "platform/MonitorWindow.h"
#include "platform/QtTimers.h"
#include "platform/SerialLink.h"
#include "platform/ServiceNotifier.h"
#include "platform/web/WebServer.h"
#include "remote/EventHistory.h"
#include "station/NowPlayingFeed.h"
#include "station/StationModel.h"

namespace tallowmere {

// The monitor program: the form with its serial line, timers and output files, the
// window that shows it and the web server that shows it elsewhere. Every event is handled to completion, then
// the window catches up: at once after a click, a timer tick or a change of the line, and for received lines
// at most 25 times a second, so that a flooded line costs one repaint per frame, not per line.
class Monitor : private ReceiverEvents {
 public:
  Monitor();

  // Start-up, then the window is shown, and a service manager hears that it is ready.
  void start();
  // A clean exit: the service manager hears of it, traffic.txt says "?" and the log has
  // its last events.
  void stop() {
    notifier_.stopping();
    form_.Form_Unload();
  }

  MonitorWindow& window() { return window_; }
  FrmMain& form() { return form_; }
  // Called with each received chunk once the form has handled it; the benchmarks
  // time-stamp the chunks here.
  void onChunkHandled(std::function<void(std::string_view)> hook) { chunkHandled_ = std::move(hook); }

 private:
  void chunkReceived(std::string_view chunk) override;
  void chunksDelivered() override;
  void receiverOpened() override;
  void receiverClosed() override;
  void renderReceived();
  // The window shows what changed, and the web clients hear of it.
  void showChanges();
  void startWebServer();
  void startCommandRunner();
  void renderFrameEnded();

  SystemWallClock wallClock_;
  StationLog log_{wallClock_, "log", true};
  AtomicFileWriter files_;
  SerialLink serial_;
  QtTimers timers_;
  StationModel station_;
  NowPlayingFeed nowPlaying_{files_};
  Checks checks_{station_, [] { return std::chrono::system_clock::now(); }, "maintenance"};
  FrmMain form_;
  MonitorWindow window_;
  ServiceNotifier notifier_{form_, checks_};
  EventHistory events_;
  std::unique_ptr<WebServer> web_;
  std::unique_ptr<CommandRunner> command_;
  std::function<void(std::string_view)> chunkHandled_;
  QTimer frameTimer_;
  bool receivedSinceFrame_ = false;
};

}  // namespace tallowmere
