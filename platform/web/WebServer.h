#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/DisplayModel.h"
#include "form/FrmMain.h"
#include "output/AtomicFileWriter.h"
#include "platform/web/NetworkServer.h"
#include "remote/EventHistory.h"
#include "remote/MonitorStatus.h"
#include "remote/ReceptionCounters.h"
#include "settings/WebSettings.h"

namespace tallowmere {

// What the web server serves from, all owned by the monitor.
struct WebSources {
  FrmMain& form;
  const StationModel& station;
  const AtomicFileWriter& files;
  const EventHistory& events;
  std::string layoutJson;                // the window's fields and where they lie
  std::function<void()> controlApplied;  // a remote click changed the form
  const Checks* checks = nullptr;
};

// The decoding side of the built-in web server: it counts what was received, and hands
// the network thread a snapshot of the state at most every 40 ms and the groups of each
// 40 ms together, never waiting for it. A remote tune or volume comes back here and runs
// the buttons' own handlers.
class WebServer : public FormEvents {
 public:
  WebServer(WebSources sources, WebSettings settings, ServerLimits limits = {});
  ~WebServer() override;

  // Listens as the settings say and tells stderr where, or why it cannot.
  bool listen();
  int port() const { return network_->port(); }
  // Something on the page may have changed.
  void touched();
  void groupDecoded(const GroupRecord& g, const DecoderState& s) override;
  void statusRead(const StatusReading& reading) override { counters_.statusRead(reading); }
  void trafficChanged(int state) override { counters_.trafficChanged(state); }

 private:
  MonitorStatus status() const;
  void publish();
  std::string changesJson(const MonitorStatus& status);
  void takeSample();
  void control(Field box, const std::string& typed, const std::function<void(std::string)>& reply);

  WebSources sources_;
  ReceptionCounters counters_{[this] { return static_cast<double>(clock_.elapsed()) / 1000; }};
  // What the last snapshot held.
  long long number_ = 0;
  std::array<FieldState, kFieldCount> fields_;
  std::string receiver_;
  std::string station_;
  long long groups_ = -1;
  long long eventsSent_ = 0;
  long long samplesSent_ = 0;
  std::string history_;
  std::string recentEvents_;
  std::shared_ptr<const EventHistory> eventLog_;

  std::vector<std::string> pendingGroups_;  // for the groups clients, sent together
  QTimer snapshotTimer_;
  bool slowPace_ = false;  // the timer runs at the pace for no watching client
  QElapsedTimer sinceSnapshot_;
  QElapsedTimer clock_;  // since start
  WallTime started_;
  QTimer sampleTimer_;
  double lastSampleAt_ = 0;
  // What the network thread asks of this thread runs here, and not after it is gone.
  QObject context_;
  std::unique_ptr<NetworkServer> network_;
};

}  // namespace tallowmere
