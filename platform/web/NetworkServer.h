#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/Fields.h"
#include "platform/web/Routes.h"
#include "platform/web/Snapshot.h"
#include "remote/Metrics.h"
#include "settings/WebSettings.h"

namespace tallowmere {

// How long a client may take and how much may wait for it. Tests shorten the times.
struct ServerLimits {
  std::chrono::milliseconds requestDeadline{std::chrono::seconds{10}};  // a request's head and body
  std::chrono::milliseconds idle{std::chrono::seconds{60}};             // between requests
  std::chrono::milliseconds pingAfter{
      std::chrono::seconds{30}};                       // of a WebSocket's silence; as long for the pong
  std::size_t maxUnsentBytes = std::size_t{1} << 20;   // per client
  std::size_t maxUnsentTotal = std::size_t{32} << 20;  // over all clients
};

// What the server needs from the decoding side, each called on the network thread.
struct ServerSetup {
  WebSettings settings;
  ServerLimits limits;
  std::string layoutJson;  // the window's fields, for a page that joins
  std::vector<PageFile> pages;
  // Type `typed` into `box` and click its button, then call `reply` (from any thread)
  // with the answer's JSON.
  std::function<void(Field box, std::string typed, std::function<void(std::string)> reply)> control;
  // A line for stderr and the station log.
  std::function<void(std::string)> diagnostic;
  // A WebSocket client came or went: the metrics count them.
  std::function<void()> clientsChanged;
};

// The web server on a thread of its own: it parses every request within its limits,
// answers from the newest snapshot and feeds the WebSocket clients. The decoding side
// hands it snapshots and groups without ever waiting: a state client that falls behind
// gets the newest state whole, a groups client that falls 1 MiB behind is dropped.
class NetworkServer {
 public:
  explicit NetworkServer(ServerSetup setup);
  ~NetworkServer();

  // Listens as the settings say and tells stderr where, or why it cannot.
  bool listen();
  int port() const;

  void publish(std::shared_ptr<const Snapshot> snapshot);
  // Group lines as "AAAA BBBB CCCC DDDD", each its own message to every groups client.
  void publishGroups(std::vector<std::string> groups);
  WebClients clients() const;

  // The network thread's state, known only to the source file.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace tallowmere
