#pragma once

#include <QString>
#include <QWebSocket>
#include <memory>
#include <span>
#include <vector>

namespace tallowmere {

// The WebSocket clients of one endpoint. A message goes to each without waiting: the
// socket queues it. A client that does not read is dropped once more than 1 MiB waits
// for it, so a slow or vanished client costs memory for a while and never time.
class ClientList {
 public:
  static constexpr qint64 kMaxUnsentBytes = 1 << 20;

  void add(std::unique_ptr<QWebSocket> client);
  void send(QWebSocket& client, const QString& message);
  void broadcast(const QString& message) { broadcast(std::span(&message, 1)); }
  // Each client gets the messages in turn.
  void broadcast(std::span<const QString> messages);
  int size() const { return static_cast<int>(clients_.size()); }
  bool empty() const { return clients_.empty(); }

 private:
  void remove(QWebSocket* client);

  std::vector<std::unique_ptr<QWebSocket>> clients_;
};

}  // namespace tallowmere
