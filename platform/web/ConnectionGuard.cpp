#include "platform/web/ConnectionGuard.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <optional>

#include "remote/SecurityHeaders.h"

namespace tallowmere {
namespace {

using namespace std::chrono_literals;

// A client has this long to send its first request's headers, and a connection may stay
// idle this long between requests: a slot of MaxClients is not held for ever.
constexpr auto kFirstRequestTimeout = 10s;
constexpr auto kIdleTimeout = 60s;

// Follows the requests on one connection through the bytes the client sent: the headers
// of each, then its body, so that each request is measured on its own however the bytes
// arrive. It lives as long as its socket.
class RequestScanner : public QObject {
 public:
  explicit RequestScanner(QTcpSocket* socket, ConnectionGuard* guard)
      : QObject(socket), socket_(socket), guard_(guard) {
    connect(socket, &QIODevice::readyRead, this, [this] { scanNewBytes(); });
    idle_.setSingleShot(true);
    connect(&idle_, &QTimer::timeout, this, [this] { idleTooLong(); });
    idle_.start(kFirstRequestTimeout);
  }

  // The HTTP server has read what it wanted; what it left is not new.
  void serverRead() { seen_ = socket_->bytesAvailable(); }

 private:
  enum class Phase { Headers, Body, WebSocket };

  void idleTooLong() {
    if (phase_ == Phase::WebSocket) return;
    if (!handedOver_) {
      reject(408, "Request Timeout", "the request did not arrive in time\n");
    } else {
      socket_->disconnectFromHost();
    }
  }

  void scanNewBytes() {
    if (handedOver_) idle_.start(kIdleTimeout);
    const QByteArray buffered = socket_->peek(socket_->bytesAvailable());
    QByteArrayView fresh = QByteArrayView(buffered).sliced(std::min(seen_, buffered.size()));
    seen_ = buffered.size();
    while (!fresh.isEmpty() && phase_ != Phase::WebSocket) {
      if (phase_ == Phase::Body) {
        const qsizetype taken = std::min(bodyLeft_, fresh.size());
        bodyLeft_ -= taken;
        fresh = fresh.sliced(taken);
        if (bodyLeft_ == 0) phase_ = Phase::Headers;
        continue;
      }
      if (!scanHeaders(fresh)) return;
    }
  }

  // Takes header bytes from `fresh`; false when the connection was closed.
  bool scanHeaders(QByteArrayView& fresh) {
    const qsizetype before = headers_.size();
    headers_.append(fresh.first(std::min(fresh.size(), ConnectionGuard::kMaxHeaderBytes + 1 - before)));
    const qsizetype end = headers_.indexOf("\r\n\r\n", std::max<qsizetype>(before - 3, 0));
    if (end < 0) {
      if (headers_.size() > ConnectionGuard::kMaxHeaderBytes) {
        reject(431, "Request Header Fields Too Large", "request line and headers are limited to 8 KiB\n");
        return false;
      }
      fresh = {};
      return true;
    }
    fresh = fresh.sliced(end + 4 - before);
    const QByteArray head = headers_.first(end + 2).toLower();
    headers_.clear();
    return requestHeadersDone(head);
  }

  // The value of a header of the lower-cased head, or none.
  static std::optional<QByteArray> headerValue(const QByteArray& head, const QByteArray& name) {
    const qsizetype at = head.indexOf("\r\n" + name + ":");
    if (at < 0) return std::nullopt;
    const qsizetype start = at + name.size() + 3;
    return head.mid(start, head.indexOf("\r\n", start) - start).trimmed();
  }

  bool requestHeadersDone(const QByteArray& head) {
    if (headerValue(head, "transfer-encoding")) {
      reject(411, "Length Required", "a body needs a Content-Length\n");
      return false;
    }
    if (const auto value = headerValue(head, "content-length")) {
      bool ok = false;
      const qlonglong length = value->toLongLong(&ok);
      if (!ok || length < 0) {
        reject(400, "Bad Request", "the Content-Length is not a number\n");
        return false;
      }
      if (length > ConnectionGuard::kMaxBodyBytes) {
        reject(413, "Content Too Large", "a request body is limited to 4 KiB\n");
        return false;
      }
      bodyLeft_ = length;
    }
    // After a WebSocket upgrade the bytes are frames, which the socket itself limits; an
    // upgrade the server refuses ends the connection.
    const bool webSocket = headerValue(head, "upgrade") == "websocket";
    phase_ = webSocket ? Phase::WebSocket : bodyLeft_ > 0 ? Phase::Body : Phase::Headers;
    if (!handedOver_) handOver();
    return true;
  }

  void handOver() {
    handedOver_ = true;
    idle_.start(kIdleTimeout);
    // The server reads at the next readyRead; the bytes waiting now are announced again
    // once it listens, after this scan.
    QTimer::singleShot(0, this, [this] {
      guard_->handOver(socket_);
      connect(socket_, &QIODevice::readyRead, this, [this] { serverRead(); });
      if (socket_->bytesAvailable() > 0) emit socket_->readyRead();
    });
  }

  void reject(int status, const QByteArray& reason, const QByteArray& body) {
    QObject::disconnect(socket_, &QIODevice::readyRead, nullptr, nullptr);
    socket_->write(plainResponse(status, reason, body));
    socket_->disconnectFromHost();
    if (!handedOver_) connect(socket_, &QAbstractSocket::disconnected, socket_, &QObject::deleteLater);
  }

  QTcpSocket* socket_;
  ConnectionGuard* guard_;
  Phase phase_ = Phase::Headers;
  QByteArray headers_;  // of the request being read
  qsizetype bodyLeft_ = 0;
  qsizetype seen_ = 0;  // buffered bytes already scanned
  bool handedOver_ = false;
  QTimer idle_;
};

}  // namespace

QByteArray plainResponse(int status, QByteArray reason, QByteArray body) {
  QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
                        "\r\nContent-Type: text/plain; charset=utf-8\r\n";
  for (const auto& [name, value] : kSecurityHeaders) {
    response.append(name.data(), static_cast<qsizetype>(name.size()));
    response += ": ";
    response.append(value.data(), static_cast<qsizetype>(value.size()));
    response += "\r\n";
  }
  return response + "Connection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
         body;
}

ConnectionGuard::ConnectionGuard(int maxClients, int maxPerAddress)
    : maxClients_(maxClients), maxPerAddress_(maxPerAddress) {}

int ConnectionGuard::clients() {
  sockets_.removeIf([](const QPointer<QTcpSocket>& s) {
    return s.isNull() || s->state() == QAbstractSocket::UnconnectedState;
  });
  return static_cast<int>(sockets_.size());
}

void ConnectionGuard::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  const int open = clients();  // drops the closed ones
  // This machine's own clients (an SSH tunnel, a reverse proxy) may take every slot.
  const QHostAddress peer = socket->peerAddress();
  const bool local = peer.isEqual(QHostAddress::LocalHost, QHostAddress::ConvertV4MappedToIPv4) ||
                     peer.isEqual(QHostAddress::LocalHostIPv6);
  const auto fromPeer = std::count_if(sockets_.begin(), sockets_.end(), [&](const QPointer<QTcpSocket>& s) {
    return s->peerAddress() == peer;
  });
  if (open >= maxClients_ || (!local && fromPeer >= maxPerAddress_)) {
    socket->write(plainResponse(503, "Service Unavailable", "too many clients\n"));
    socket->disconnectFromHost();
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    return;
  }
  sockets_.append(socket);
  new RequestScanner(socket, this);
}

}  // namespace tallowmere
