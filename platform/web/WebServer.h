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
#include "remote/TokenGuesses.h"
#include "settings/WebSettings.h"

namespace tallowmere {

// What the web server serves from, all owned by the monitor.
struct WebSources {
  FrmMain& form;
  const AtomicFileWriter& files;
  const EventHistory& events;
  std::string layoutJson;                // the window's fields and where they lie
  std::function<void()> controlApplied;  // a remote click changed the form
};

// The built-in web server: the live page, the state and events as JSON, the groups as
// text for other decoders, metrics for Prometheus, and, with a ControlToken, tuning and
// volume. Everything it sends is queued on sockets; it never waits for a client.
class WebServer : public QAbstractHttpServer, public GroupListener {
 public:
  WebServer(WebSources sources, WebSettings settings);

  // Listens as the settings say and tells stderr where, or why it cannot.
  bool listen();
  // Something on the page may have changed.
  void touched() { stateFeed_.touched(); }
  void groupDecoded(const GroupRecord& g) override;

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  struct Refusal;
  struct Reply;
  static Reply textReply(int status, const QByteArray& text);
  static void send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);
  MonitorStatus status() const;
  std::optional<Refusal> refusal(const QHttpServerRequest& request, bool acts, bool count = true);
  std::optional<Refusal> tokenRefusal(const QHttpServerRequest& request, bool count);
  void answer(const QHttpServerRequest& request, QTcpSocket* socket);
  void control(const QHttpServerRequest& request, QTcpSocket* socket, Field box);
  void acceptWebSocket();
  void takeSample();
  void sendGroups();

  WebSources sources_;
  WebSettings settings_;
  TokenGuesses guesses_;
  ReceptionCounters counters_;
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
