#pragma once

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHttpServerRequest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "form/FrmMain.h"
#include "output/AtomicFileWriter.h"
#include "platform/web/ClientList.h"
#include "platform/web/StateFeed.h"
#include "remote/EventHistory.h"
#include "remote/ReceptionCounters.h"
#include "remote/WebSettings.h"

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

// The built-in web server: the live page, the state and events as JSON, the groups as
// text for other decoders, metrics for Prometheus, and, with a ControlToken, tuning and
// volume. Everything it sends is queued on sockets; it never waits for a client.
class WebServer : public QAbstractHttpServer, public FormEvents {
 public:
  WebServer(WebSources sources, WebSettings settings);

  // Listens as the settings say and tells stderr where, or why it cannot.
  bool listen();
  // Something on the page may have changed.
  void touched() { stateFeed_.touched(); }
  void groupDecoded(const GroupRecord& g, const DecoderState& s) override;
  void statusRead(const StatusReading& reading) override { counters_.statusRead(reading); }
  void trafficChanged(int state) override { counters_.trafficChanged(state); }

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  struct Refusal;
  struct Reply;
  static Reply textReply(int status, const QByteArray& text);
  static void send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);
  MonitorStatus status() const;
  std::optional<Refusal> refusal(const QHttpServerRequest& request, bool acts) const;
  bool viewAllowed(const QHttpServerRequest& request) const;
  void answer(const QHttpServerRequest& request, QTcpSocket* socket);
  void control(const QHttpServerRequest& request, QTcpSocket* socket, Field box);
  void acceptWebSocket();
  void takeSample();
  void sendGroups();

  WebSources sources_;
  WebSettings settings_;
  ReceptionCounters counters_{[this] { return static_cast<double>(clock_.elapsed()) / 1000; }};
  StateFeed stateFeed_;
  ClientList groupClients_;
  std::vector<QString> pendingGroups_;  // for the groups clients, sent together
  QTimer groupFlush_;
  QElapsedTimer clock_;  // since start
  WallTime started_;
  QTimer sampleTimer_;
  double lastSampleAt_ = 0;
};

}  // namespace tallowmere
