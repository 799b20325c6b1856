#pragma once

#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace tallowmere {

// Accepts the web server's connections and watches every byte a client sends before the
// HTTP server reads it, since the server itself reads a request of any size: request line
// and headers beyond 8 KiB, a body beyond 4 KiB, a body of unknown length and more than
// MaxClients connections (or MaxPerAddress from one address) are answered here and the connection closed. A
// connection is handed to the HTTP server once its first request's headers are complete; a WebSocket is no
// longer watched after its upgrade (the socket limits its own messages).
class ConnectionGuard : public QTcpServer {
 public:
  static constexpr qsizetype kMaxHeaderBytes = 8 * 1024;
  static constexpr qsizetype kMaxBodyBytes = 4 * 1024;

  ConnectionGuard(int maxClients, int maxPerAddress);

  // Open connections, WebSockets included.
  int clients();
  // A connection whose first request passed goes on to the HTTP server.
  void handOver(QTcpSocket* socket) { addPendingConnection(socket); }

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  int maxClients_;
  int maxPerAddress_;
  QList<QPointer<QTcpSocket>> sockets_;
};

// A complete HTTP response with the headers every answer of the web server carries.
QByteArray plainResponse(int status, QByteArray reason, QByteArray body);

}  // namespace tallowmere
