#include "platform/web/ClientList.h"

#include <algorithm>

namespace tallowmere {
namespace {

// Clients only listen; anything they send is small and ignored.
constexpr quint64 kMaxIncomingBytes = 4096;

}  // namespace

void ClientList::add(std::unique_ptr<QWebSocket> client) {
  QWebSocket* socket = client.get();
  socket->setMaxAllowedIncomingFrameSize(kMaxIncomingBytes);
  socket->setMaxAllowedIncomingMessageSize(kMaxIncomingBytes);
  QObject::connect(socket, &QWebSocket::disconnected, socket, [this, socket] { remove(socket); });
  clients_.push_back(std::move(client));
}

void ClientList::send(QWebSocket& client, const QString& message) {
  if (client.bytesToWrite() > kMaxUnsentBytes) {
    client.abort();
    return;
  }
  client.sendTextMessage(message);
}

void ClientList::broadcast(std::span<const QString> messages) {
  // A client dropped here leaves the list at once, through its disconnected signal; the
  // others are still sent to.
  std::vector<QWebSocket*> targets;
  targets.reserve(clients_.size());
  for (const auto& c : clients_) targets.push_back(c.get());
  for (QWebSocket* c : targets) {
    for (const QString& message : messages) {
      if (c->state() != QAbstractSocket::ConnectedState) break;
      send(*c, message);
    }
  }
}

void ClientList::remove(QWebSocket* client) {
  const auto it =
      std::find_if(clients_.begin(), clients_.end(), [client](const auto& c) { return c.get() == client; });
  if (it == clients_.end()) return;
  it->release()->deleteLater();
  clients_.erase(it);
}

}  // namespace tallowmere
