// The web server over real sockets: the state as the replay driver dumps it, and a monitor on
// the simulated receiver flooding a capture while clients ask for everything, rightly and wrongly.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QWebSocket>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <regex>

#include "platform/web/WebServer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Stations.h"
#include "tests/support/WorkingFolder.h"
#include "tools/replay/ReplayDriver.h"

namespace tallowmere::test {
namespace {

using namespace std::chrono_literals;

// Lets Qt run, in this process and its sockets, until `done` holds.
bool pump(const std::function<bool()>& done, int limitMs = 30000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

struct Response {
  int status = 0;
  std::string head;  // status line and headers
  std::string body;
  bool ended = false;  // the server ended the connection after its answer
};

// One request on a connection of its own from `from`; the answer as far as it came and,
// if asked, whether the server then ends the connection.
Response ask(quint16 port, const std::string& request, const char* from = "127.0.0.1",
             bool waitForEnd = false) {
  QTcpSocket socket;
  socket.bind(QHostAddress(from));
  socket.connectToHost(QString(from).contains(':') ? "::1" : "127.0.0.1", port);
  socket.write(request.data(), static_cast<qint64>(request.size()));
  std::string received;
  const auto ended = [&] { return socket.state() == QAbstractSocket::UnconnectedState; };
  const auto complete = [&] {
    received += socket.readAll().toStdString();
    const std::size_t end = received.find("\r\n\r\n");
    if (end == std::string::npos) return ended();
    std::smatch length;
    const std::string head = received.substr(0, end);
    if (!std::regex_search(head, length, std::regex("Content-Length: (\\d+)"))) return true;
    return ended() || received.size() >= end + 4 + std::stoul(length[1]);
  };
  pump(complete, 10000);
  Response r;
  r.ended =
      waitForEnd && pump([&] { return ended() || (received += socket.readAll().toStdString(), false); });
  const std::size_t end = received.find("\r\n\r\n");
  r.head = received.substr(0, end);
  if (end != std::string::npos) r.body = received.substr(end + 4);
  if (received.size() > 12) r.status = std::stoi(received.substr(9, 3));
  return r;
}

std::string get(std::string_view path, std::string_view extraHeaders = "") {
  return "GET " + std::string(path) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + std::string(extraHeaders) + "\r\n";
}

std::string post(std::string_view path, std::string_view body, std::string_view extraHeaders = "") {
  return "POST " + std::string(path) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + std::string(extraHeaders) +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

QJsonObject json(const std::string& text) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

using WebServerTest = InWorkingFolder;

// A session of a real station's groups, a RadioText with letters beyond ASCII and a signal
// report: /api/state holds the fields and the count of the replay driver's dump, each
// text also as the window draws it.
TEST_F(WebServerTest, StateIsTheReplayDump) {
  char* dumped = nullptr;
  std::size_t dumpedSize = 0;
  std::FILE* out = open_memstream(&dumped, &dumpedSize);
  ReplayDriver driver(out);
  for (const char* line :
       {R"({"freq": "104.6"})", R"({"click": "cmdSetFreq"})", R"(" RDS STEREO RSSI: 42\r\n")"}) {
    ASSERT_EQ(driver.runScriptLine(line), "");
  }
  const auto capture = captureLines("de-104.6rtl-D42A");
  if (capture.empty()) GTEST_SKIP() << "no captures on this machine";
  for (std::size_t i = 0; i < 400; ++i) driver.receive(capture[i] + "\r\n");
  std::string airText = "Gr\x99ne W\x97lfe f\x99r 5 \xA9";
  airText.resize(64, ' ');
  for (const std::string& line : TestStation{}.radioText(airText)) driver.receive(line);
  ASSERT_EQ(driver.runScriptLine(R"({"dump": true})"), "");
  std::fflush(out);

  const AtomicFileWriter files;
  const EventHistory events;
  WebSettings anyPort;
  anyPort.port = 0;
  WebServer server({driver.form(), driver.station(), files, events, "{}", [] {}}, anyPort);
  ASSERT_TRUE(server.listen());
  QJsonObject state = json(ask(static_cast<quint16>(server.port()), get("/api/state")).body);
  const QJsonObject dump = json(std::string(dumped, dumpedSize));
  QJsonObject fields = state["fields"].toObject();
  EXPECT_EQ(fields["lblRadioText"].toObject()["shown"].toString().trimmed(), u"Grüne Wölfe für 5 €");
  for (auto it = fields.begin(); it != fields.end(); ++it) {
    QJsonObject field = it->toObject();
    field.remove("shown");
    *it = field;
  }
  EXPECT_EQ(fields, dump["fields"].toObject());
  EXPECT_EQ(state["decoded"], dump["decoded"]);
  EXPECT_EQ(state["station"], dump["station"]);
  EXPECT_EQ(state["station"].toObject()["ps"], "104.6RTL");
  std::fclose(out);
  std::free(dumped);
}

std::string upgrade(std::string_view path, std::string_view extraHeaders) {
  return get(path,
             "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
             "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n" +
                 std::string(extraHeaders));
}

// A remote operator tunes the monitor, and the simulated receiver floods a real capture to
// a decoder on /ws/groups while other clients send every kind of bad request: each is
// answered as it should be, and the decoder gets every group the receiver sent, in order.
TEST_F(WebServerTest, EveryGroupReachesADecoderWhileBadRequestsAreAnswered) {
  const std::string capture = std::string(CAPTURES_DIR) + "/de-104.6rtl-D42A.groups";
  const std::size_t captured = captureLines("de-104.6rtl-D42A").size();
  if (captured == 0) GTEST_SKIP() << "no captures on this machine";
  writeIni(
      "[Tallowmere]\nCOMport=./receiver\nFrequency=\n[Web]\nListen=127.0.0.1:0\nControlToken=s3cret\n"
      "MaxClients=7\n");
  ChildProcess sim(
      {SIM_BINARY, "--groups", capture, "--once", "--flood", "--record", "sent.txt", "receiver"});
  ASSERT_TRUE(sim.output(10000).starts_with("receiver -> "));
  ChildProcess monitor({MONITOR_BINARY});
  std::smatch serving;
  std::string errors;
  ASSERT_TRUE(eventually([&] {
    errors = monitor.errors();
    return std::regex_search(errors, serving, std::regex("web: serving http://127.0.0.1:(\\d+)/\n"));
  }));
  const auto port = static_cast<quint16>(std::stoi(serving[1]));

  QWebSocket decoder;
  std::vector<std::string> groups;
  QObject::connect(&decoder, &QWebSocket::textMessageReceived,
                   [&](const QString& m) { groups.push_back(m.toStdString()); });
  decoder.open(QUrl("ws://127.0.0.1:" + QString::number(port) + "/ws/groups"));
  QWebSocket page;
  std::size_t pageMessages = 0;
  QObject::connect(&page, &QWebSocket::textMessageReceived, [&] { ++pageMessages; });
  page.open(QUrl("ws://127.0.0.1:" + QString::number(port) + "/ws/state"));
  ASSERT_TRUE(pump([&] { return decoder.state() == QAbstractSocket::ConnectedState && pageMessages == 1; }));
  QElapsedTimer watching;
  watching.start();

  const std::string control = "Authorization: Bearer s3cret\r\n";
  for (const std::string& refused :
       {post("/api/frequency", "104.6"), post("/api/frequency", "104.6", "Authorization: Bearer s3cre\r\n"),
        post("/api/volume", "9", control + "Origin: http://rebind.example\r\n")}) {
    EXPECT_EQ(ask(port, refused).status, 403) << refused;
  }
  EXPECT_EQ(ask(port, get("/api/events")).body.find("\"tune\""), std::string::npos);  // nothing sent
  // The start-up timer finds no frequency to tune to, then the operator's comes.
  ASSERT_TRUE(eventually([&] {
    return json(ask(port, get("/api/state")).body)["fields"].toObject()["txtFreq"].toObject()["text"] ==
           "INVALID";
  }));
  const Response tuned =
      ask(port, post("/api/frequency", "104.6\n", control + "Origin: http://127.0.0.1\r\n"));
  EXPECT_EQ(tuned.status, 200);
  EXPECT_EQ(tuned.body, R"({"box": "104.6"})");

  // While the capture floods in, and one client pipelines requests as fast as it can.
  QTcpSocket flooder;
  flooder.connectToHost("127.0.0.1", port);
  QObject::connect(&flooder, &QTcpSocket::readyRead, [&] { flooder.readAll(); });
  std::string pipelined;
  for (int i = 0; i < 40000; ++i) pipelined += get("/nowhere");
  flooder.write(pipelined.data(), static_cast<qint64>(pipelined.size()));
  const struct {
    std::string request;
    int status;
  } cases[] = {
      {get("/nowhere"), 404},
      {post("/api/state", ""), 405},
      {get("/api/events?since=yesterday"), 400},
      {upgrade("/ws/groups", "Origin: http://rebind.example\r\n"), 403},
      {upgrade("/ws/nowhere", ""), 404},
      {"GET /ws/state HTTP/1.1\r\nHost: rebind.example\r\n\r\n", 421},
  };
  for (const auto& c : cases) {
    const Response r = ask(port, c.request);
    EXPECT_EQ(r.status, c.status) << c.request.substr(0, 80);
  }
  std::vector<std::unique_ptr<QTcpSocket>> idle;  // with the decoder, the page and the flooder, MaxClients
  for (int i = 0; i < 4; ++i) {
    idle.push_back(std::make_unique<QTcpSocket>());
    idle.back()->connectToHost("127.0.0.1", port);
  }
  ASSERT_TRUE(pump([&] { return idle.back()->state() == QAbstractSocket::ConnectedState; }));
  EXPECT_EQ(ask(port, get("/api/state")).status, 503);
  idle.clear();

  std::vector<std::string> expected;
  ASSERT_TRUE(pump(
      [&] {
        std::ifstream sent("sent.txt");
        expected.clear();
        for (std::string line; std::getline(sent, line);) {
          if (line.starts_with(">>> "))
            expected.push_back(std::regex_replace(line.substr(4, 19), std::regex(":"), " "));
        }
        return expected.size() == captured && groups.size() >= expected.size();
      },
      90000))
      << groups.size() << " groups of " << expected.size();
  EXPECT_EQ(groups, expected);
  // However many groups came, the page got at most one message per 40 ms.
  EXPECT_LE(pageMessages, 2 + static_cast<std::size_t>(watching.elapsed() / 40));
  const std::string metrics = ask(port, get("/metrics")).body;
  EXPECT_NE(metrics.find("\ntallowmere_groups_total " + std::to_string(expected.size()) + "\n"),
            std::string::npos);
}

// Where the server listens, and two decoders on /ws/groups: the one that stops reading is
// dropped once 1 MiB waits for it, the other gets every group.
TEST_F(WebServerTest, ListensWhereToldAndDropsADecoderThatStopsReading) {
  ReplayDriver driver(std::tmpfile());
  const AtomicFileWriter files;
  const EventHistory events;
  const auto serverOn = [&](const std::string& host, int port, const std::string& viewToken = "") {
    WebSettings settings;
    settings.host = host;
    settings.port = port;
    settings.viewToken = viewToken;
    return std::make_unique<WebServer>(
        WebSources{driver.form(), driver.station(), files, events, "{}", [] {}}, settings);
  };
  const auto server = serverOn("127.0.0.1", 0);
  ASSERT_TRUE(server->listen());
  const quint16 port = static_cast<quint16>(server->port());
  EXPECT_FALSE(serverOn("127.0.0.1", port)->listen());  // the port is taken
  EXPECT_FALSE(serverOn("rack-pc", 0)->listen());       // no address
  if (const auto v6 = serverOn("::1", 0); v6->listen()) {
    EXPECT_EQ(ask(static_cast<quint16>(v6->port()), get("/api/state"), "::1").status, 200);
  }

  // A ViewToken is needed on every request, in any of its three forms.
  const auto guarded = serverOn("127.0.0.1", 0, "a b;c");
  ASSERT_TRUE(guarded->listen());
  const quint16 guardedPort = static_cast<quint16>(guarded->port());
  const Response page = ask(guardedPort, get("/?token=a%20b%3Bc"));
  EXPECT_EQ(page.status, 200);
  EXPECT_NE(page.head.find("Set-Cookie: tallowmere_view=a%20b%3Bc; HttpOnly; SameSite=Strict"),
            std::string::npos);
  for (const auto& [headers, status] :
       std::initializer_list<std::pair<std::string, int>>{{"", 401},
                                                          {"Authorization: Bearer a b;\r\n", 401},
                                                          {"Authorization: Bearer a b;c\r\n", 200},
                                                          {"Cookie: tallowmere_view=a%20b%3Bc\r\n", 200}}) {
    EXPECT_EQ(ask(guardedPort, get("/api/state", headers)).status, status) << headers;
  }

  driver.form().addListener(server.get());
  QWebSocket reader;
  std::size_t read = 0;
  QObject::connect(&reader, &QWebSocket::textMessageReceived, [&] { ++read; });
  reader.open(QUrl("ws://127.0.0.1:" + QString::number(port) + "/ws/groups"));
  QTcpSocket stalled;  // upgraded, then never read from
  stalled.setReadBufferSize(1);
  stalled.connectToHost("127.0.0.1", port);
  stalled.write(QByteArray::fromStdString(upgrade("/ws/groups", "")));
  const auto groupClients = [&] {
    const std::string metrics = ask(port, get("/metrics")).body;
    const std::string sample = "tallowmere_web_clients{endpoint=\"groups\"} ";
    return metrics.at(metrics.find(sample) + sample.size()) - '0';
  };
  ASSERT_TRUE(pump([&] { return groupClients() == 2; }));
  ASSERT_EQ(driver.runScriptLine(R"({"click": "cmdSetFreq"})"), "");  // 888.8 in the box: tunes
  const auto capture = captureLines("de-104.6rtl-D42A");
  if (capture.empty()) GTEST_SKIP() << "no captures on this machine";
  std::size_t sent = 0;
  while (groupClients() == 2 && sent < 2'000'000) {
    for (int i = 0; i < 5000; ++i) driver.receive(capture[sent++ % capture.size()] + "\r\n");
    pump([&] { return read == sent; }, 5000);  // the reader keeps up, the other falls behind
  }
  EXPECT_EQ(groupClients(), 1) << sent;
  EXPECT_TRUE(pump([&] { return read == sent; })) << read << " of " << sent;
}

// Clients that break the rules, with the server's time limits shortened to a second or two.
class Hardening : public InWorkingFolder {
 protected:
  std::unique_ptr<WebServer> serve(WebSettings settings) {
    settings.port = 0;
    driver_ = std::make_unique<ReplayDriver>(std::tmpfile());  // in the test's folder
    auto server = std::make_unique<WebServer>(
        WebSources{driver_->form(), driver_->station(), files_, events_, "{}", [] {}}, settings,
        ServerLimits{2s, 2s, 1s, 64 * 1024, 256 * 1024});
    EXPECT_TRUE(server->listen());
    port_ = static_cast<quint16>(server->port());
    return server;
  }
  std::unique_ptr<ReplayDriver> driver_;
  AtomicFileWriter files_;
  EventHistory events_;
  quint16 port_ = 0;
};

// Each finding of an outside test of the server as a row; every answer carries the
// security headers.
TEST_F(Hardening, RawRequests) {
  const auto server = serve({.controlToken = "c"});
  const std::string control = "Authorization: Bearer c\r\n";
  const struct {
    const char* what;
    std::string bytes;
    int status;
    bool ends;
  } rows[] = {
      {"F1 Upgrade without Connection: Upgrade",
       post("/api/volume", std::string(5000, '8'), "Upgrade: websocket\r\n"), 413, true},
      {"F3 a bare LF", "GET /api/state HTTP/1.1\nHost: 127.0.0.1\n\n", 400, true},
      {"F3 Content-Length after a bare LF",
       "POST /api/volume HTTP/1.1\r\nHost: 1\nContent-Length: 2\r\n\r\n8\n", 400, true},
      {"F3 Transfer-Encoding", get("/api/volume", "Transfer-Encoding: chunked\r\n"), 411, true},
      {"a header without a colon", get("/", "X-Filler\r\n"), 400, true},
      {"two Content-Length", post("/api/volume", "8", "Content-Length: 1\r\n"), 400, true},
      {"headers over 8 KiB", get("/", "X-Filler: " + std::string(9000, 'x') + "\r\n"), 431, true},
      {"F7 a volume that is no number", post("/api/volume", "hello", control), 400, false},
      {"F7 a second line", post("/api/volume", "8\r\nf9999", control), 400, false},
      {"a volume", post("/api/volume", "12\n", control), 200, false},
      {"F10 HTTP/1.0", "GET /api/state HTTP/1.0\r\n\r\n", 200, true},
      {"F10 Connection: close", get("/api/state", "Connection: close\r\n"), 200, true},
      {"F10 HEAD", "HEAD /api/state HTTP/1.0\r\n\r\n", 200, true},
      {"F11 a foreign host on loopback", "GET / HTTP/1.1\r\nHost: rebind.example\r\n\r\n", 421, false},
      {"a WebSocket path without the handshake", get("/ws/groups"), 426, false},
  };
  for (const auto& row : rows) {
    const Response r = ask(port_, row.bytes, "127.0.0.1", row.ends);
    EXPECT_EQ(r.status, row.status) << row.what;
    EXPECT_TRUE(r.ended || !row.ends) << row.what;
    for (const char* header :
         {"\r\nContent-Security-Policy: default-src 'self'\r\n",
          "\r\nContent-Security-Policy: frame-ancestors 'none'\r\n",
          "\r\nX-Content-Type-Options: nosniff\r\n", "\r\nCache-Control: no-store\r\n"}) {
      EXPECT_NE((r.head + "\r\n").find(header), std::string::npos) << row.what << ": " << header;
    }
    if (row.bytes.starts_with("HEAD")) {
      EXPECT_TRUE(r.head.starts_with("HTTP/1.0 200") && r.body.empty()) << r.head;
    }
  }
  EXPECT_EQ(driver_->form().fields()[Field::txtVol].text, "12");  // only the good volume was typed
}

// Ten wrong tokens from one address: its requests with a token get 429, the others not;
// the page's cookie keeps the ViewToken only.
TEST_F(Hardening, Tokens) {
  const auto server = serve({.viewToken = "v", .controlToken = "c"});
  const auto bearer = [](std::string_view token) {
    return get("/api/state", "Authorization: Bearer " + std::string(token) + "\r\n");
  };
  for (const char* page : {"/?token=junk", "/?token=c"}) {
    const Response r = ask(port_, get(page, "Cookie: tallowmere_view=v\r\n"));
    EXPECT_EQ(r.status, 200) << page;
    EXPECT_EQ(r.head.find("Set-Cookie"), std::string::npos) << page;
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(ask(port_, bearer("guess"), "127.0.0.2").status, 401);
  EXPECT_EQ(ask(port_, bearer("v"), "127.0.0.2").status, 200);
  EXPECT_EQ(ask(port_, bearer("guess"), "127.0.0.2").status, 401);  // the tenth
  EXPECT_EQ(ask(port_, bearer("v"), "127.0.0.2").status, 429);
  EXPECT_EQ(ask(port_, get("/api/state"), "127.0.0.2").status, 401);
  EXPECT_EQ(ask(port_, bearer("v"), "127.0.0.3").status, 200);
}

// Upgraded from a raw socket: a client that floods pings and never reads, one that never
// answers a ping, and one that sends an unmasked frame.
TEST_F(Hardening, WebSockets) {
  const auto server = serve({});
  const auto closed = [](QTcpSocket& s) {
    return pump([&] { return s.state() == QAbstractSocket::UnconnectedState || (s.readAll(), false); });
  };
  QTcpSocket flood, silent, unmasked;
  for (QTcpSocket* s : {&flood, &silent, &unmasked}) {
    s->setReadBufferSize(1024);
    s->connectToHost("127.0.0.1", port_);
    s->write(QByteArray::fromStdString(upgrade("/ws/groups", "")));
    ASSERT_TRUE(pump([&] { return s->peek(12).startsWith("HTTP/1.1 101"); }));
  }
  flood.readAll();
  // 32 MiB of pings, each with its 125 bytes: the server's read waits for each pong, which
  // the client never reads, so it reads no further and then ends the connection.
  QByteArray ping("\x89\xFD\0\0\0\0", 6);
  ping.append(125, 'p');
  flood.write(ping.repeated(32 * 1024 * 1024 / ping.size()));
  EXPECT_TRUE(pump([&] { return flood.state() == QAbstractSocket::UnconnectedState; }));
  EXPECT_EQ(ask(port_, get("/api/state")).status, 200);
  unmasked.write(QByteArray("\x81\x02hi", 4));
  EXPECT_TRUE(closed(unmasked));
  EXPECT_TRUE(closed(silent));  // pinged after a second, closed a second later
}

// MaxPerAddress from an address other than loopback, and a client that trickles its
// request is cut off at the deadline while another is served.
TEST_F(Hardening, Slots) {
  const auto server = serve({.maxPerAddress = 2});
  std::vector<std::unique_ptr<QTcpSocket>> held;
  for (const char* from : {"127.0.0.2", "127.0.0.2", "127.0.0.1", "127.0.0.1", "127.0.0.1"}) {
    held.push_back(std::make_unique<QTcpSocket>());
    held.back()->bind(QHostAddress(from));
    held.back()->connectToHost("127.0.0.1", port_);
  }
  ASSERT_TRUE(pump([&] { return held.back()->state() == QAbstractSocket::ConnectedState; }));
  EXPECT_EQ(ask(port_, get("/api/state"), "127.0.0.2").status, 503);
  EXPECT_EQ(ask(port_, get("/api/state"), "127.0.0.3").status, 200);
  QElapsedTimer trickle;
  trickle.start();
  EXPECT_TRUE(pump([&, &slow = *held.back()] {
    if (trickle.elapsed() > 100) slow.write("G"), trickle.restart();
    return slow.state() == QAbstractSocket::UnconnectedState;
  }));
  EXPECT_EQ(ask(port_, get("/api/state")).status, 200);
}

// [::] takes IPv4 clients; on the network without a ViewToken, only the machine's own
// names and those of Hosts are answered.
TEST_F(Hardening, Listening) {
  const auto server = serve({.host = "::", .hosts = {"monitor.example"}});
  for (const auto& [host, status] : {std::pair{"localhost", 200},
                                     {"monitor.example:8088", 200},
                                     {"rebind.example", 421},
                                     {"127.0.0.1", 200}}) {
    EXPECT_EQ(ask(port_, "GET /api/state HTTP/1.1\r\nHost: " + std::string(host) + "\r\n\r\n").status, status)
        << host;
  }
}

}  // namespace
}  // namespace tallowmere::test
