#include "platform/web/WebServer.h"

#include <QFile>
#include <chrono>

#include "display/JsonDump.h"
#include "display/RdsCharset.h"
#include "remote/StateJson.h"
#include "settings/Diagnostics.h"
#include "station/StationJson.h"

namespace tallowmere {
namespace {

constexpr int kSnapshotIntervalMs = 40;
// With no page or decoder connected, only requests read the state: a snapshot of a quarter
// of a second ago serves them, and the decoding side builds six times fewer.
constexpr int kUnwatchedIntervalMs = 250;
constexpr std::size_t kEventsOnJoin = 50;

struct PageResource {
  const char* path;
  const char* resource;
  const char* type;
};
constexpr PageResource kPages[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8"},
    {"/details.js", ":/web/details.js", "text/javascript; charset=utf-8"},
    {"/checks.js", ":/web/checks.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/web/style.css", "text/css; charset=utf-8"},
};

std::vector<PageFile> pageFiles() {
  std::vector<PageFile> files;
  for (const PageResource& page : kPages) {
    QFile file(page.resource);
    file.open(QIODevice::ReadOnly);
    files.push_back({page.path, page.type, file.readAll().toStdString()});
  }
  return files;
}

// The group's four blocks as other decoders read them: "AAAA BBBB CCCC DDDD".
std::string groupText(const GroupRecord& g) {
  const std::string_view hex = g.hex();
  std::string text(19, ' ');
  for (std::size_t block = 0; block < 4; ++block) text.replace(block * 5, 4, hex.substr(2 + block * 4, 4));
  return text;
}

double unixSeconds(WallTime t) {
  return std::chrono::duration<double>(t.time_since_epoch()).count();
}

}  // namespace

WebServer::WebServer(WebSources sources, WebSettings settings, ServerLimits limits)
    : sources_(std::move(sources)), started_(std::chrono::system_clock::now()) {
  clock_.start();
  sinceSnapshot_.start();
  snapshotTimer_.setSingleShot(true);
  // A coarse timer may fire up to 5 % early: a page would then get two messages within 40 ms.
  snapshotTimer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&snapshotTimer_, &QTimer::timeout, [this] { publish(); });
  sampleTimer_.setInterval(1000);
  QObject::connect(&sampleTimer_, &QTimer::timeout, [this] { takeSample(); });
  sampleTimer_.start();

  const auto here = [this](std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
  };
  ServerSetup setup{std::move(settings), limits, sources_.layoutJson, pageFiles(), {}, {}, {}};
  setup.control = [this, here](Field box, std::string typed, std::function<void(std::string)> reply) {
    here([this, box, typed = std::move(typed), reply = std::move(reply)] { control(box, typed, reply); });
  };
  setup.diagnostic = [here](std::string line) { here([line = std::move(line)] { reportProblem(line); }); };
  setup.clientsChanged = [this, here] { here([this] { touched(); }); };
  network_ = std::make_unique<NetworkServer>(std::move(setup));
}

WebServer::~WebServer() {
  network_.reset();
}

// The first snapshot is there before the first client; the second holds what stderr
// said about listening.
bool WebServer::listen() {
  publish();
  if (!network_->listen()) return false;
  publish();
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

void WebServer::touched() {
  const WebClients clients = network_->clients();
  const bool watched = clients.state + clients.groups > 0;
  // A client that connects while the slow timer runs gets its updates at the fast pace.
  if (snapshotTimer_.isActive() && !(slowPace_ && watched)) return;
  slowPace_ = !watched;
  const int intervalMs = watched ? kSnapshotIntervalMs : kUnwatchedIntervalMs;
  const qint64 waitedUs = sinceSnapshot_.nsecsElapsed() / 1000;
  const qint64 leftMs = (intervalMs * 1000 - waitedUs + 999) / 1000;  // rounded up
  snapshotTimer_.start(static_cast<int>(std::max<qint64>(0, leftMs)));
}

// The state as it is now, for the network thread to answer and feed the pages from.
void WebServer::publish() {
  snapshotTimer_.stop();
  sinceSnapshot_.restart();
  const MonitorStatus now = status();
  auto snapshot = std::make_shared<Snapshot>();
  snapshot->number = ++number_;
  snapshot->update = changesJson(now);
  snapshot->state = stateJson(now);
  snapshot->metrics = metricsText(now, sources_.files.health(), network_->clients());
  snapshot->history = history_;
  snapshot->events = recentEvents_;
  snapshot->eventLog = eventLog_;
  network_->publish(std::move(snapshot));
  // At line rate the groups come one to an event-loop turn; handed over one by one, each
  // would cost the network thread a turn of its own. They go with the snapshot, so a
  // client that has a group finds it counted in the state and the metrics, and a page
  // gets at most one message per 40 ms.
  if (!pendingGroups_.empty()) network_->publishGroups(std::exchange(pendingGroups_, {}));
}

// {"type": "update", ...} with what changed since the last snapshot, or "" for nothing.
std::string WebServer::changesJson(const MonitorStatus& status) {
  std::string fields;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    const FieldState& now = status.fields[f];
    FieldState& sent = fields_[i];
    if (now == sent) continue;
    sent = now;
    fields += fields.empty() ? "{" : ", ";
    appendJsonString(fields, nameOf(f));
    fields += ": ";
    appendFieldJson(fields, f, now, FieldText::WithShown);
  }
  std::string out;
  const auto add = [&out](std::string_view key, const std::string& json) {
    out += ", \"";
    out += key;
    out += "\": ";
    out += json;
  };
  if (!fields.empty()) add("fields", fields + "}");
  if (std::string receiver = receiverJson(status); receiver != receiver_) {
    receiver_ = receiver;
    add("receiver", receiver);
  }
  if (std::string station = stationJson(status.station.station()); station != station_) {
    station_ = station;
    add("station", station);
  }
  const long long groups = status.counters.groups() + status.counters.uncut();
  if (groups != groups_) {
    groups_ = groups;
    add("counters", countersJson(status));
  }
  if (status.counters.samplesTaken() != samplesSent_ || history_.empty()) {
    add("samples", samplesJson(status.counters, samplesSent_));
    samplesSent_ = status.counters.samplesTaken();
    history_ = samplesJson(status.counters, 0);
  }
  const EventHistory& events = sources_.events;
  if (events.nextNumber() != eventsSent_ || !eventLog_) {
    add("events", events.arrayFrom(eventsSent_));
    eventsSent_ = events.nextNumber();
    recentEvents_ = events.arrayFrom(0, kEventsOnJoin);
    eventLog_ = std::make_shared<const EventHistory>(events);
  }
  if (out.empty()) return out;
  return "{\"type\": \"update\"" + out + "}";
}

void WebServer::groupDecoded(const GroupRecord& g, const DecoderState& s) {
  counters_.groupDecoded(g, s);
  if (!g.bytesBuilt || network_->clients().groups == 0) return;
  pendingGroups_.push_back(groupText(g));
  touched();
}

void WebServer::takeSample() {
  const double now = static_cast<double>(clock_.elapsed()) / 1000;
  counters_.takeSample(static_cast<long long>(unixSeconds(std::chrono::system_clock::now())),
                       now - lastSampleAt_);
  lastSampleAt_ = now;
  touched();
}

// As if the operator typed into the box and clicked its button.
void WebServer::control(Field box, const std::string& typed, const std::function<void(std::string)>& reply) {
  FrmMain& form = sources_.form;
  form.fields().setText(box, typed);
  if (box == Field::txtFreq) {
    form.cmdSetFreq_Click(ChangeBy::Remote);
  } else {
    form.cmdSetVolume_Click(ChangeBy::Remote);
  }
  sources_.controlApplied();
  std::string json = "{\"box\": ";
  appendJsonText(json, shownTextUtf8(box, form.fields()[box].text));
  reply(json + "}");
  touched();
}

}  // namespace tallowmere
