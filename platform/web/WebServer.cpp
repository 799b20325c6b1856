#include "platform/web/WebServer.h"

#include <QFile>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <chrono>
#include <vector>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"
#include "platform/QtText.h"
#include "platform/web/ConnectionGuard.h"
#include "remote/Metrics.h"
#include "remote/RequestRules.h"
#include "remote/StateJson.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

constexpr char kViewCookie[] = "tallowmere_view";
constexpr int kGroupBatchMs = 40;

struct Page {
  const char* path;
  const char* resource;
  const char* type;
};
constexpr Page kPages[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8"},
    {"/checks.js", ":/web/checks.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/web/style.css", "text/css; charset=utf-8"},
};

bool isWebSocketPath(const QString& path) {
  return path == "/ws/state" || path == "/ws/groups";
}

bool isUpgrade(const QHttpServerRequest& request) {
  return request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

// The group's four blocks as other decoders read them: "AAAA BBBB CCCC DDDD".
QString groupText(const GroupRecord& g) {
  const std::string_view hex = g.hex();
  QString text(19, QChar(' '));
  for (int block = 0; block < 4; ++block) {
    for (int i = 0; i < 4; ++i) text[block * 5 + i] = QChar(hex[static_cast<std::size_t>(2 + block * 4 + i)]);
  }
  return text;
}

double unixSeconds(WallTime t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

std::string_view view(const QByteArray& bytes) {
  return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QByteArray jsonBytes(const std::string& json) {
  return QByteArray(json.data(), static_cast<qsizetype>(json.size()));
}

}  // namespace

struct WebServer::Reply {
  int status = 200;
  QByteArray type = "application/json";
  QByteArray body;
  std::vector<std::pair<QByteArray, QByteArray>> headers = {};
};

void WebServer::send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply) {
  auto responder = makeResponder(request, socket);
  responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
  responder.writeHeader("Content-Type", reply.type);
  responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
  responder.writeHeader("Content-Security-Policy", "default-src 'self'");
  responder.writeHeader("X-Content-Type-Options", "nosniff");
  responder.writeHeader("Cache-Control", "no-store");
  for (const auto& [name, value] : reply.headers) responder.writeHeader(name, value);
  responder.writeBody(reply.body);
}

WebServer::Reply WebServer::textReply(int status, const QByteArray& text) {
  return {status, "text/plain; charset=utf-8", text + "\n"};
}

struct WebServer::Refusal {
  int status;
  QByteArray text;
};

WebServer::WebServer(WebSources sources, WebSettings settings)
    : sources_(std::move(sources)),
      settings_(std::move(settings)),
      stateFeed_([this] { return status(); }, sources_.events, sources_.layoutJson),
      started_(std::chrono::system_clock::now()) {
  clock_.start();
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] { acceptWebSocket(); });
  groupFlush_.setSingleShot(true);
  groupFlush_.setInterval(kGroupBatchMs);
  connect(&groupFlush_, &QTimer::timeout, this, [this] { sendGroups(); });
  sampleTimer_.setInterval(1000);
  connect(&sampleTimer_, &QTimer::timeout, this, [this] { takeSample(); });
  sampleTimer_.start();
}

bool WebServer::listen() {
  const QString host = QString::fromStdString(settings_.host);
  const QHostAddress address =
      host == "localhost" ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(host);
  const std::string where = (host.contains(':') ? "[" + settings_.host + "]" : settings_.host) + ":";
  if (address.isNull()) {
    reportProblem("web: cannot listen on " + where + std::to_string(settings_.port) +
                  " (not an IP address); the monitor runs without its web server");
    return false;
  }
  auto guard = std::make_unique<ConnectionGuard>(settings_.maxClients);
  if (!guard->listen(address, static_cast<quint16>(settings_.port))) {
    reportProblem("web: cannot listen on " + where + std::to_string(settings_.port) + " (" +
                  guard->errorString().toStdString() + "); the monitor runs without its web server");
    return false;
  }
  const quint16 port = guard->serverPort();
  bind(guard.release());  // the server owns it from here
  const bool everyAddress = address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
  reportProblem("web: serving http://" + where + std::to_string(port) + "/" +
                (everyAddress ? " on every address of this machine" : ""));
  return true;
}

MonitorStatus WebServer::status() const {
  const FrmMain& form = sources_.form;
  const double now = static_cast<double>(clock_.elapsed()) / 1000;
  return {form.fields(),
          sources_.station,
          counters_,
          form.groupsDecoded(),
          form.connected(),
          form.device(),
          form.tunedFrequency(),
          form.windowTitle(),
          kProgramVersion,
          started_,
          now,
          now,
          sources_.checks};
}

void WebServer::groupDecoded(const GroupRecord& g, const DecoderState& s) {
  counters_.groupDecoded(g, s);
  if (!g.bytesBuilt || groupClients_.empty()) return;
  pendingGroups_.push_back(groupText(g));
  if (!groupFlush_.isActive()) groupFlush_.start();
}

// At line rate the groups come one to an event-loop turn; sent as they come, each would
// cost every client a write of its own. Gathered for a moment, a client's groups go out
// in one write, each still its own message.
void WebServer::sendGroups() {
  groupClients_.broadcast(pendingGroups_);
  pendingGroups_.clear();
}

void WebServer::takeSample() {
  const double now = static_cast<double>(clock_.elapsed()) / 1000;
  counters_.takeSample(static_cast<long long>(unixSeconds(std::chrono::system_clock::now())),
                       now - lastSampleAt_);
  lastSampleAt_ = now;
  stateFeed_.touched();
}

bool WebServer::viewAllowed(const QHttpServerRequest& request) const {
  if (settings_.viewToken.empty()) return true;
  const QByteArray authorization = request.value("authorization");
  const QByteArray cookies = request.value("cookie");
  // The cookie holds the token as the page's address gave it, percent-encoded.
  const std::string_view cookieText = cookieValue(view(cookies), kViewCookie);
  const QByteArray cookie = QByteArray::fromPercentEncoding(
      QByteArray(cookieText.data(), static_cast<qsizetype>(cookieText.size())));
  const QByteArray query = request.query().queryItemValue("token", QUrl::FullyDecoded).toUtf8();
  for (const std::string_view given : {bearerToken(view(authorization)), view(cookie), view(query)}) {
    if (tokenMatches(given, settings_.viewToken) || tokenMatches(given, settings_.controlToken)) return true;
  }
  return false;
}

// Why a request is not answered, if it is not: a foreign host name, a missing view token,
// or, for a request that acts or subscribes, another site's page.
std::optional<WebServer::Refusal> WebServer::refusal(const QHttpServerRequest& request, bool acts) const {
  const QByteArray host = request.value("host");
  if (!hostAllowed(view(host), settings_.host))
    return Refusal{421, "this server does not answer for that host name"};
  if (!viewAllowed(request)) return Refusal{401, "this server needs its ViewToken"};
  const QByteArray origin = request.value("origin");
  if (acts && !origin.isEmpty() && !originAllowed(view(origin), view(host))) {
    return Refusal{403, "requests from another site's page are refused"};
  }
  return std::nullopt;
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (isUpgrade(request)) return isWebSocketPath(request.url().path()) && !refusal(request, true);
  answer(request, socket);
  return true;
}

// Only a WebSocket upgrade that was not accepted comes here.
void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (const auto refused = refusal(request, true)) {
    send(request, socket, textReply(refused->status, refused->text));
  } else {
    send(request, socket, textReply(404, "no WebSocket here"));
  }
}

void WebServer::answer(const QHttpServerRequest& request, QTcpSocket* socket) {
  const QString path = request.url().path();
  const bool isPost = request.method() == QHttpServerRequest::Method::Post;
  const bool isGet = request.method() == QHttpServerRequest::Method::Get;
  if (const auto refused = refusal(request, isPost)) {
    Reply reply = textReply(refused->status, refused->text);
    if (refused->status == 401) reply.headers.emplace_back("WWW-Authenticate", "Bearer realm=\"tallowmere\"");
    send(request, socket, reply);
    return;
  }
  const auto wrongMethod = [&](const QByteArray& allowed) {
    Reply reply = textReply(405, "use " + allowed);
    reply.headers.emplace_back("Allow", allowed);
    send(request, socket, reply);
  };

  if (path == "/api/frequency" || path == "/api/volume") {
    if (!isPost) return wrongMethod("POST");
    return control(request, socket, path == "/api/frequency" ? Field::txtFreq : Field::txtVol);
  }
  const bool known =
      path == "/api/state" || path == "/api/events" || path == "/metrics" || isWebSocketPath(path) ||
      std::any_of(std::begin(kPages), std::end(kPages), [&](const Page& p) { return path == p.path; });
  if (!known) return send(request, socket, textReply(404, "not found"));
  if (!isGet) return wrongMethod("GET");

  if (path == "/api/state")
    return send(request, socket, {200, "application/json", jsonBytes(stateJson(status()))});
  if (path == "/metrics") {
    const std::string text =
        metricsText(status(), sources_.files.health(), {stateFeed_.clients(), groupClients_.size()});
    return send(request, socket, {200, "text/plain; version=0.0.4; charset=utf-8", jsonBytes(text)});
  }
  if (path == "/api/events") {
    const QString sinceText = request.query().queryItemValue("since", QUrl::FullyDecoded);
    const auto since =
        sinceText.isEmpty() ? std::optional<WallTime>(WallTime{}) : readTime(sinceText.toStdString());
    if (!since) return send(request, socket, textReply(400, "since is a time such as 2026-12-08T07:00:00Z"));
    return send(
        request, socket,
        {200, "application/json", jsonBytes("{\"events\": " + sources_.events.arraySince(*since) + "}")});
  }
  if (isWebSocketPath(path)) {
    Reply reply = textReply(426, "this is a WebSocket");
    reply.headers.emplace_back("Upgrade", "websocket");
    return send(request, socket, reply);
  }
  for (const Page& page : kPages) {
    if (path != page.path) continue;
    QFile file(page.resource);
    file.open(QIODevice::ReadOnly);
    Reply reply{200, page.type, file.readAll()};
    const QString token = request.query().queryItemValue("token", QUrl::FullyDecoded);
    if (!token.isEmpty()) {
      reply.headers.emplace_back("Set-Cookie", QByteArray(kViewCookie) + "=" +
                                                   QUrl::toPercentEncoding(token) +
                                                   "; HttpOnly; SameSite=Strict; Path=/");
    }
    return send(request, socket, reply);
  }
}

// As if the operator typed the body into the box and clicked its button.
void WebServer::control(const QHttpServerRequest& request, QTcpSocket* socket, Field box) {
  if (settings_.controlToken.empty() ||
      !tokenMatches(bearerToken(view(request.value("authorization"))), settings_.controlToken)) {
    return send(request, socket, textReply(403, "control needs the ControlToken"));
  }
  QString typed = QString::fromUtf8(request.body());
  while (typed.endsWith('\n') || typed.endsWith('\r')) typed.chop(1);
  FrmMain& form = sources_.form;
  form.fields().setText(box, typedBytes(typed));
  if (box == Field::txtFreq) {
    form.cmdSetFreq_Click(ChangeBy::Remote);
  } else {
    form.cmdSetVolume_Click(ChangeBy::Remote);
  }
  sources_.controlApplied();
  std::string json = "{\"box\": ";
  appendJsonText(json, shownTextUtf8(box, form.fields()[box].text));
  send(request, socket, {200, "application/json", jsonBytes(json + "}")});
}

void WebServer::acceptWebSocket() {
  while (auto client = nextPendingWebSocketConnection()) {
    if (client->requestUrl().path() == "/ws/state") {
      stateFeed_.add(std::move(client));
    } else {
      groupClients_.add(std::move(client));
    }
  }
}

}  // namespace tallowmere
