// tallowmere-webclient: clients of the monitor's web server, for the benchmarks only.
//
//   tallowmere-webclient URL STATE_CLIENTS GROUP_CLIENTS SECONDS [CHANGES]
//
// Keeps STATE_CLIENTS connections on URL's /ws/state and GROUP_CLIENTS on /ws/groups for
// SECONDS, then prints key=value lines: the fewest and most messages a groups client
// received, and the state messages all clients received. CHANGES receives, for every state
// update that carries a new lblHEX, the CLOCK_MONOTONIC time in nanoseconds at which it
// reached a client and that hex text, to set against the simulated receiver's --stamps.
// It fails if a client cannot connect or is dropped before the end.
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Change {
  std::int64_t ns;
  std::string hex;
};

class Clients {
 public:
  Clients(const QString& url, int stateClients, int groupClients) : groupMessages_(groupClients, 0) {
    for (int i = 0; i < stateClients + groupClients; ++i) {
      auto& socket = *sockets_.emplace_back(std::make_unique<QWebSocket>());
      QObject::connect(&socket, &QWebSocket::connected, [this] { ++connected_; });
      QObject::connect(&socket, &QWebSocket::disconnected, [this] { ++dropped_; });
      if (i < stateClients) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived,
                         [this](const QString& m) { stateMessage(m); });
        socket.open(QUrl(url + "ws/state"));
      } else {
        long& count = groupMessages_[static_cast<std::size_t>(i - stateClients)];
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [&count] { ++count; });
        socket.open(QUrl(url + "ws/groups"));
      }
    }
  }

  // Prints the figures and writes the changes; false if a client was missing at the end.
  bool report(const char* changesPath) {
    const auto [fewest, most] = std::minmax_element(groupMessages_.begin(), groupMessages_.end());
    if (fewest != groupMessages_.end())
      std::printf("group_messages_min=%ld\ngroup_messages_max=%ld\n", *fewest, *most);
    std::printf("state_messages=%ld\nlblhex_changes=%zu\n", stateMessages_, changes_.size());
    const bool complete = connected_ == static_cast<int>(sockets_.size()) && dropped_ == 0;
    if (!complete)
      std::fprintf(stderr, "tallowmere-webclient: %d of %zu clients connected, %d dropped\n", connected_,
                   sockets_.size(), dropped_);
    if (changesPath == nullptr) return complete;
    std::FILE* out = std::fopen(changesPath, "w");
    if (out == nullptr) return false;
    for (const Change& c : changes_)
      std::fprintf(out, "%lld %s\n", static_cast<long long>(c.ns), c.hex.c_str());
    return std::fclose(out) == 0 && complete;
  }

 private:
  void stateMessage(const QString& message) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    ++stateMessages_;
    // Every client is sent the same; only messages naming the field are worth parsing.
    if (!message.contains(QLatin1String("\"lblHEX\""))) return;
    const QJsonObject update = QJsonDocument::fromJson(message.toUtf8()).object();
    if (update.value("type") != "update") return;
    const QString hex = update.value("fields")[QLatin1String("lblHEX")][QLatin1String("shown")].toString();
    if (!hex.isEmpty()) changes_.push_back({std::chrono::nanoseconds(now).count(), hex.toStdString()});
  }

  std::vector<std::unique_ptr<QWebSocket>> sockets_;
  std::vector<long> groupMessages_;
  std::vector<Change> changes_;
  long stateMessages_ = 0;
  int connected_ = 0;
  int dropped_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fputs("usage: tallowmere-webclient URL STATE_CLIENTS GROUP_CLIENTS SECONDS [CHANGES]\n", stderr);
    return 2;
  }
  QCoreApplication app(argc, argv);
  QString url = QString::fromLocal8Bit(argv[1]);
  if (!url.endsWith('/')) url += '/';
  url.replace("http://", "ws://");
  Clients clients(url, std::atoi(argv[2]), std::atoi(argv[3]));
  QTimer::singleShot(static_cast<int>(std::strtod(argv[4], nullptr) * 1000), &app, &QCoreApplication::quit);
  QCoreApplication::exec();
  return clients.report(argc > 5 ? argv[5] : nullptr) ? 0 : 1;
}
