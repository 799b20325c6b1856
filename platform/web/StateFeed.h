#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWebSocket>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "display/DisplayModel.h"
#include "platform/web/ClientList.h"
#include "remote/EventHistory.h"
#include "remote/MonitorStatus.h"

namespace tallowmere {

// The clients of /ws/state. Each gets the whole state when it joins, then what changed,
// at most one message per 40 ms: a flood of received lines costs each client 25 messages
// a second, however many lines it brings.
class StateFeed {
 public:
  StateFeed(std::function<MonitorStatus()> status, const EventHistory& events, std::string layoutJson);

  void add(std::unique_ptr<QWebSocket> client);
  // Something the clients see may have changed.
  void touched();
  int clients() const { return clients_.size(); }

 private:
  void sendChanges();
  std::string changesJson(const MonitorStatus& status);
  std::string fullJson(const MonitorStatus& status) const;

  std::function<MonitorStatus()> status_;
  const EventHistory& events_;
  std::string layoutJson_;
  ClientList clients_;
  // What the clients have been sent.
  std::array<FieldState, kFieldCount> fields_;
  std::string receiver_;
  std::string station_;
  long long groups_ = -1;
  long long eventsSent_ = 0;
  long long samplesSent_ = 0;
  QTimer pending_;
  QElapsedTimer sinceLastMessage_;
};

}  // namespace tallowmere
