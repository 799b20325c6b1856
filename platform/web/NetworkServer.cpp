#include "platform/web/NetworkServer.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "remote/RequestRules.h"
#include "remote/SecurityHeaders.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;

constexpr std::size_t kMaxHeaderBytes = 8 * 1024;
constexpr std::size_t kMaxBodyBytes = 4 * 1024;
// What may wait unread beyond the request being read: a pipelining client is read one
// request at a time.
constexpr std::size_t kMaxBufferedBytes = kMaxHeaderBytes + kMaxBodyBytes;
// Clients only listen; anything they send over a WebSocket is small and ignored.
constexpr std::size_t kMaxIncomingMessage = 4096;
// Groups the network thread has not taken yet; beyond this it is far behind, and the
// groups clients are dropped rather than given a gap.
constexpr std::size_t kMaxPendingGroupBytes = std::size_t{4} << 20;
// After an answer that closes the connection, what the client still sends is read and
// discarded for a moment, so that the answer is not lost to a reset.
constexpr auto kLinger = std::chrono::seconds{2};
constexpr std::size_t kMaxLingerBytes = std::size_t{1} << 20;
// The network thread's niceness, above the decoding thread's 0.
constexpr int kNetworkNice = 10;

// An address as text, an IPv4 client of a dual-stack server as IPv4.
std::string addressText(const net::ip::address& address) {
  if (address.is_v6() && address.to_v6().is_v4_mapped()) {
    return net::ip::make_address_v4(net::ip::v4_mapped, address.to_v6()).to_string();
  }
  return address.to_string();
}

// The names a request on the network may give as Host without a ViewToken: the machine's
// name, that name in .local, and the addresses of its interfaces now.
std::vector<std::string> ownNames() {
  std::vector<std::string> names;
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) {
    names.push_back(hostName(name));
    names.push_back(names.back() + ".local");
  }
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) != 0) return names;
  for (const ifaddrs* i = interfaces; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr) continue;
    if (i->ifa_addr->sa_family == AF_INET) {
      const auto* v4 = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
      names.push_back(net::ip::address_v4(ntohl(v4->sin_addr.s_addr)).to_string());
    } else if (i->ifa_addr->sa_family == AF_INET6) {
      const auto* v6 = reinterpret_cast<const sockaddr_in6*>(i->ifa_addr);
      net::ip::address_v6::bytes_type bytes;
      std::copy(std::begin(v6->sin6_addr.s6_addr), std::end(v6->sin6_addr.s6_addr), bytes.begin());
      names.push_back(net::ip::address_v6(bytes).to_string());
    }
  }
  freeifaddrs(interfaces);
  return names;
}

// The status a request gets that could not be read, or 0 when the connection just ends.
int statusOfReadError(const beast::error_code& ec) {
  if (ec == http::error::header_limit || ec == http::error::buffer_overflow) return 431;
  if (ec == http::error::body_limit) return 413;
  if (ec == http::error::end_of_stream || ec == http::error::partial_message) return 0;
  if (ec.category() == http::make_error_code(http::error::bad_method).category()) return 400;
  return 0;
}

std::string responseText(int version, const Answer& answer, bool withBody, bool close) {
  std::string out = version == 10 ? "HTTP/1.0 " : "HTTP/1.1 ";
  out += std::to_string(answer.status);
  out += ' ';
  out += http::obsolete_reason(static_cast<http::status>(answer.status));
  out += "\r\nContent-Type: " + answer.type + "\r\nContent-Length: " + std::to_string(answer.body.size()) +
         "\r\n";
  for (const auto& [name, value] : kSecurityHeaders) {
    out.append(name).append(": ").append(value).append("\r\n");
  }
  for (const auto& [name, value] : answer.headers) out += name + ": " + value + "\r\n";
  if (close) {
    out += "Connection: close\r\n";
  } else if (version == 10) {
    out += "Connection: keep-alive\r\n";
  }
  out += "\r\n";
  if (withBody) out += answer.body;
  return out;
}

class WsSession;

}  // namespace

struct NetworkServer::Impl {
  explicit Impl(ServerSetup s)
      : setup(std::move(s)), routes(setup.settings, setup.pages, ownNames, [this](std::string line) {
          setup.diagnostic(std::move(line));
        }) {}

  void accept();
  void accepted(tcp::socket socket);
  void drain();
  void add(const std::shared_ptr<WsSession>& client, Endpoint endpoint);
  void remove(const WsSession* client);
  std::string fullMessage(const Snapshot& s) const {
    return "{\"type\": \"full\", \"layout\": " + setup.layoutJson + ", \"state\": " + s.state +
           ", \"history\": " + s.history + ", \"events\": " + s.events + "}";
  }

  ServerSetup setup;
  Routes routes;
  std::shared_ptr<const Snapshot> latest = std::make_shared<const Snapshot>();
  // Connections open, and from each address other than loopback.
  int open = 0;
  std::unordered_map<std::string, int> perAddress;
  std::vector<std::shared_ptr<WsSession>> stateClients;
  std::vector<std::shared_ptr<WsSession>> groupClients;
  std::size_t unsentTotal = 0;
  std::atomic<int> stateCount = 0;
  std::atomic<int> groupCount = 0;

  // What the decoding side handed over and the network thread has not taken yet.
  std::mutex mailboxLock;
  std::shared_ptr<const Snapshot> newSnapshot;
  std::vector<std::vector<std::string>> newGroups;
  std::size_t newGroupBytes = 0;
  bool groupsLost = false;
  bool drainPosted = false;

  std::optional<net::io_context> io{std::in_place, 1};
  std::optional<tcp::acceptor> acceptor;
  std::thread thread;
};

namespace {

bool isLocal(const std::string& address) {
  return address == "127.0.0.1" || address == "::1";
}

// One slot of MaxClients (and of MaxPerAddress), held as long as its connection.
class Slot {
 public:
  Slot(NetworkServer::Impl& server, std::string address) : server_(&server), address_(std::move(address)) {
    ++server_->open;
    if (!isLocal(address_)) ++server_->perAddress[address_];
  }
  Slot(Slot&& other) noexcept
      : server_(std::exchange(other.server_, nullptr)), address_(std::move(other.address_)) {}
  Slot& operator=(Slot&&) = delete;
  ~Slot() {
    if (server_ == nullptr) return;
    --server_->open;
    if (!isLocal(address_) && --server_->perAddress[address_] == 0) server_->perAddress.erase(address_);
  }
  const std::string& address() const { return address_; }

 private:
  NetworkServer::Impl* server_;
  std::string address_;
};

// A WebSocket client of /ws/state or /ws/groups. Messages wait in its queue, written one
// at a time; the client is dropped once more than its share would wait.
class WsSession : public std::enable_shared_from_this<WsSession> {
 public:
  WsSession(beast::tcp_stream stream, NetworkServer::Impl& server, Slot slot, Endpoint endpoint)
      : ws_(std::move(stream)), server_(server), slot_(std::move(slot)), endpoint_(endpoint) {}

  void accept(http::request<http::string_body> request) {
    beast::get_lowest_layer(ws_).expires_never();
    // Beast pings after half the idle time without a frame, and closes after the whole.
    websocket::stream_base::timeout timeout{server_.setup.limits.requestDeadline,
                                            2 * server_.setup.limits.pingAfter, true};
    ws_.set_option(timeout);
    ws_.set_option(websocket::stream_base::decorator([](websocket::response_type& response) {
      for (const auto& [name, value] : kSecurityHeaders) response.insert(name, value);
    }));
    ws_.read_message_max(kMaxIncomingMessage);
    ws_.text(true);
    ws_.async_accept(request, [self = shared_from_this()](beast::error_code ec) {
      if (ec) return;
      self->server_.add(self, self->endpoint_);
      if (self->endpoint_ == Endpoint::State) {
        self->seen_ = self->server_.latest->number;
        self->send(std::make_shared<const std::string>(self->server_.fullMessage(*self->server_.latest)));
      }
      self->read();
    });
  }

  // A state client gets the changes when it has had the last state, else the newest whole.
  void offer(std::shared_ptr<const Snapshot> snapshot) {
    if (writing_) {
      pending_ = std::move(snapshot);
      return;
    }
    if (snapshot->number <= seen_) return;
    const bool next = snapshot->number == seen_ + 1;
    seen_ = snapshot->number;
    if (next && snapshot->update.empty()) return;
    send(std::make_shared<const std::string>(next ? snapshot->update : server_.fullMessage(*snapshot)));
  }

  void send(std::shared_ptr<const std::string> message) {
    if (dropped_) return;
    const std::size_t size = message->size();
    if (unsent_ + size > server_.setup.limits.maxUnsentBytes ||
        server_.unsentTotal + size > server_.setup.limits.maxUnsentTotal) {
      return drop();
    }
    unsent_ += size;
    server_.unsentTotal += size;
    queue_.push_back(std::move(message));
    if (!writing_) writeNext();
  }

  void drop() {
    if (dropped_) return;
    dropped_ = true;
    server_.unsentTotal -= unsent_;
    unsent_ = 0;
    queue_.clear();
    pending_.reset();
    beast::error_code ignored;
    beast::get_lowest_layer(ws_).socket().close(ignored);
    server_.remove(this);
  }

 private:
  void read() {
    ws_.async_read(incoming_, [self = shared_from_this()](beast::error_code ec, std::size_t) {
      if (ec) return self->drop();
      self->incoming_.clear();
      self->read();
    });
  }

  void writeNext() {
    writing_ = true;
    const std::shared_ptr<const std::string> message = queue_.front();
    ws_.async_write(net::buffer(*message),
                    [self = shared_from_this(), message](beast::error_code ec, std::size_t) {
                      self->writing_ = false;
                      if (self->dropped_) return;
                      if (ec) return self->drop();
                      self->queue_.pop_front();
                      self->unsent_ -= message->size();
                      self->server_.unsentTotal -= message->size();
                      if (!self->queue_.empty()) return self->writeNext();
                      if (self->pending_) self->offer(std::exchange(self->pending_, nullptr));
                    });
  }

  websocket::stream<beast::tcp_stream> ws_;
  NetworkServer::Impl& server_;
  Slot slot_;
  Endpoint endpoint_;
  beast::flat_buffer incoming_;
  std::deque<std::shared_ptr<const std::string>> queue_;
  std::size_t unsent_ = 0;  // queued and being written
  bool writing_ = false;
  bool dropped_ = false;
  long long seen_ = 0;  // the snapshot the client has
  std::shared_ptr<const Snapshot> pending_;
};

// One HTTP connection: one request at a time, each within the limits, answered in order.
class HttpSession : public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(tcp::socket socket, NetworkServer::Impl& server, std::optional<Slot> slot)
      : stream_(std::move(socket)), buffer_(kMaxBufferedBytes), server_(server), slot_(std::move(slot)) {}

  void start() { waitForRequest(); }

  // An answer without reading a request, then the connection ends.
  void refuse(const Answer& answer) { write(responseText(11, answer, true, true), true); }

 private:
  // Idle until the first byte of the next request; from then on the request has its deadline.
  void waitForRequest() {
    if (buffer_.size() > 0) return readHeader();
    stream_.expires_after(server_.setup.limits.idle);
    stream_.async_read_some(buffer_.prepare(kMaxBufferedBytes),
                            [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                              if (ec) return;
                              self->buffer_.commit(n);
                              self->readHeader();
                            });
  }

  void readHeader() {
    parser_.emplace();
    parser_->header_limit(kMaxHeaderBytes);
    parser_->body_limit(kMaxBodyBytes);
    stream_.expires_after(server_.setup.limits.requestDeadline);
    http::async_read_header(stream_, buffer_, *parser_,
                            [self = shared_from_this()](beast::error_code ec, std::size_t) {
                              if (ec) return self->readFailed(ec);
                              self->headerRead();
                            });
  }

  void headerRead() {
    const auto& request = parser_->get();
    if (request.count(http::field::transfer_encoding) > 0) {
      return fail(textAnswer(411, "a body needs a Content-Length, and no Transfer-Encoding"));
    }
    if (request.count(http::field::content_length) > 1)
      return fail(textAnswer(400, "one Content-Length at most"));
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](beast::error_code ec, std::size_t) {
                       if (ec) return self->readFailed(ec);
                       self->handle();
                     });
  }

  void readFailed(const beast::error_code& ec) {
    const int status = statusOfReadError(ec);
    if (status == 431) return fail(textAnswer(431, "request line and headers are limited to 8 KiB"));
    if (status == 413) return fail(textAnswer(413, "a request body is limited to 4 KiB"));
    if (status == 400) return fail(textAnswer(400, "the request cannot be read: " + ec.message()));
  }

  void fail(const Answer& answer) { write(responseText(11, answer, true, true), true); }

  void handle() {
    auto& request = parser_->get();
    const auto header = [&](http::field f) {
      const auto it = request.find(f);
      return it == request.end() ? std::string_view()
                                 : std::string_view(it->value().data(), it->value().size());
    };
    Request r;
    r.method = std::string_view(request.method_string().data(), request.method_string().size());
    r.target = std::string_view(request.target().data(), request.target().size());
    r.host = header(http::field::host);
    r.authorization = header(http::field::authorization);
    r.cookie = header(http::field::cookie);
    if (const auto origin = header(http::field::origin); !origin.empty()) r.origin = origin;
    r.body = request.body();
    r.upgrade = websocket::is_upgrade(request);
    r.address = slot_->address();
    const Answer answer = server_.routes.answer(r, *server_.latest);
    if (answer.then == Answer::Then::WebSocket) {
      auto client =
          std::make_shared<WsSession>(std::move(stream_), server_, std::move(*slot_), answer.endpoint);
      client->accept(parser_->release());
      return;
    }
    if (answer.then == Answer::Then::Reply) return reply(answer);
    // The decoding side types and clicks; its answer comes back to this thread.
    net::io_context& io = *server_.io;
    server_.setup.control(answer.box, answer.typed, [self = shared_from_this(), &io](std::string json) {
      net::post(io, [self, json = std::move(json)] { self->reply({200, "application/json", json}); });
    });
  }

  void reply(const Answer& answer) {
    const auto& request = parser_->get();
    const bool close = !request.keep_alive();
    write(responseText(request.version(), answer, request.method() != http::verb::head, close), close);
  }

  void write(std::string response, bool close) {
    response_ = std::move(response);
    stream_.expires_after(server_.setup.limits.idle);
    net::async_write(stream_, net::buffer(response_),
                     [self = shared_from_this(), close](beast::error_code ec, std::size_t) {
                       if (ec) return;
                       if (close) return self->linger();
                       self->waitForRequest();
                     });
  }

  // The answer is out; what the client still sends is read and discarded for a moment.
  void linger() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    buffer_.clear();
    stream_.expires_after(kLinger);
    discard();
  }

  void discard() {
    stream_.async_read_some(buffer_.prepare(kMaxBufferedBytes),
                            [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                              self->discarded_ += n;
                              if (ec || self->discarded_ > kMaxLingerBytes) return;
                              self->discard();
                            });
  }

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  NetworkServer::Impl& server_;
  std::optional<Slot> slot_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::string response_;
  std::size_t discarded_ = 0;
};

}  // namespace

void NetworkServer::Impl::accept() {
  acceptor->async_accept([this](beast::error_code ec, tcp::socket socket) {
    if (!ec) accepted(std::move(socket));
    if (ec != net::error::operation_aborted) accept();
  });
}

// A client beyond MaxClients, or beyond MaxPerAddress from an address other than this
// machine's loopback, is answered 503 at once.
void NetworkServer::Impl::accepted(tcp::socket socket) {
  beast::error_code ec;
  const tcp::endpoint peer = socket.remote_endpoint(ec);
  if (ec) return;
  std::string address = addressText(peer.address());
  const auto from = perAddress.find(address);
  const bool full = open >= setup.settings.maxClients || (!isLocal(address) && from != perAddress.end() &&
                                                          from->second >= setup.settings.maxPerAddress);
  if (full) {
    std::make_shared<HttpSession>(std::move(socket), *this, std::nullopt)
        ->refuse(textAnswer(503, "too many clients"));
    return;
  }
  std::make_shared<HttpSession>(std::move(socket), *this, Slot(*this, std::move(address)))->start();
}

void NetworkServer::Impl::add(const std::shared_ptr<WsSession>& client, Endpoint endpoint) {
  if (endpoint == Endpoint::State) {
    stateClients.push_back(client);
    stateCount = static_cast<int>(stateClients.size());
  } else {
    groupClients.push_back(client);
    groupCount = static_cast<int>(groupClients.size());
  }
  setup.clientsChanged();
}

void NetworkServer::Impl::remove(const WsSession* client) {
  for (auto* list : {&stateClients, &groupClients}) {
    std::erase_if(*list, [client](const auto& c) { return c.get() == client; });
  }
  stateCount = static_cast<int>(stateClients.size());
  groupCount = static_cast<int>(groupClients.size());
  setup.clientsChanged();
}

void NetworkServer::Impl::drain() {
  std::shared_ptr<const Snapshot> snapshot;
  std::vector<std::vector<std::string>> groups;
  bool lost = false;
  {
    const std::lock_guard lock(mailboxLock);
    snapshot = std::move(newSnapshot);
    groups.swap(newGroups);
    newGroupBytes = 0;
    lost = std::exchange(groupsLost, false);
    drainPosted = false;
  }
  if (lost) {
    for (const auto& client : std::vector(groupClients)) client->drop();
  }
  const std::vector clients = groupClients;  // a client dropped on the way leaves the list
  for (auto& batch : groups) {
    for (std::string& text : batch) {
      const auto message = std::make_shared<const std::string>(std::move(text));
      for (const auto& client : clients) client->send(message);
    }
  }
  if (!snapshot) return;
  latest = snapshot;
  for (const auto& client : std::vector(stateClients)) client->offer(snapshot);
}

NetworkServer::NetworkServer(ServerSetup setup) : impl_(std::make_unique<Impl>(std::move(setup))) {}

NetworkServer::~NetworkServer() {
  impl_->io->stop();
  if (impl_->thread.joinable()) impl_->thread.join();
  impl_->stateClients.clear();
  impl_->groupClients.clear();
  impl_->acceptor.reset();
  impl_->io.reset();  // the connections end while the counts they hold still exist
}

bool NetworkServer::listen() {
  const WebSettings& settings = impl_->setup.settings;
  const bool v6 = settings.host.find(':') != std::string::npos;
  const std::string where = (v6 ? "[" + settings.host + "]" : settings.host) + ":";
  const auto cannot = [&](const std::string& why) {
    reportProblem("web: cannot listen on " + where + std::to_string(settings.port) + " (" + why +
                  "); the monitor runs without its web server");
    return false;
  };
  beast::error_code ec;
  const net::ip::address address = settings.host == "localhost"
                                       ? net::ip::address(net::ip::address_v4::loopback())
                                       : net::ip::make_address(settings.host, ec);
  if (ec) return cannot("not an IP address");
  const tcp::endpoint endpoint(address, static_cast<unsigned short>(settings.port));
  tcp::acceptor& acceptor = impl_->acceptor.emplace(*impl_->io);
  acceptor.open(endpoint.protocol(), ec);
  // [::] takes IPv4 clients too.
  if (!ec && address.is_v6() && address.is_unspecified()) acceptor.set_option(net::ip::v6_only(false), ec);
  if (!ec) acceptor.set_option(net::socket_base::reuse_address(true), ec);
  if (!ec) acceptor.bind(endpoint, ec);
  if (!ec) acceptor.listen(net::socket_base::max_listen_connections, ec);
  if (ec) {
    impl_->acceptor.reset();
    return cannot(ec.message());
  }
  const bool everyAddress = address.is_unspecified();
  reportProblem("web: serving http://" + where + std::to_string(port()) + "/" +
                (everyAddress ? v6 ? " on every address of this machine, IPv4 and IPv6"
                                   : " on every IPv4 address of this machine"
                              : ""));
  if (!isLoopbackAddress(settings.host) && settings.viewToken.empty()) {
    reportProblem(
        "web: no ViewToken: whoever reaches this machine sees the monitor; host names other than its own "
        "and those of [Web] Hosts are refused");
  }
  impl_->accept();
  impl_->thread = std::thread([this] {
    // On a busy machine the decoding thread goes first: however hard clients make this
    // thread work, a received line waits for nothing here.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNetworkNice);
    impl_->io->run();
  });
  return true;
}

int NetworkServer::port() const {
  beast::error_code ec;
  return impl_->acceptor ? impl_->acceptor->local_endpoint(ec).port() : 0;
}

void NetworkServer::publish(std::shared_ptr<const Snapshot> snapshot) {
  const std::lock_guard lock(impl_->mailboxLock);
  impl_->newSnapshot = std::move(snapshot);
  if (!std::exchange(impl_->drainPosted, true))
    net::post(*impl_->io, [impl = impl_.get()] { impl->drain(); });
}

void NetworkServer::publishGroups(std::vector<std::string> groups) {
  std::size_t bytes = 0;
  for (const std::string& g : groups) bytes += g.size();
  const std::lock_guard lock(impl_->mailboxLock);
  if (impl_->newGroupBytes + bytes > kMaxPendingGroupBytes) {
    impl_->newGroups.clear();
    impl_->newGroupBytes = 0;
    impl_->groupsLost = true;
  } else {
    impl_->newGroups.push_back(std::move(groups));
    impl_->newGroupBytes += bytes;
  }
  if (!std::exchange(impl_->drainPosted, true))
    net::post(*impl_->io, [impl = impl_.get()] { impl->drain(); });
}

WebClients NetworkServer::clients() const {
  return {impl_->stateCount, impl_->groupCount};
}

}  // namespace tallowmere
