#include "platform/web/StateFeed.h"

#include "display/JsonDump.h"
#include "remote/StateJson.h"
#include "station/StationJson.h"

namespace tallowmere {
namespace {

constexpr int kMessageIntervalMs = 40;
constexpr std::size_t kEventsOnJoin = 50;

QString qtUtf8(const std::string& json) {
  return QString::fromUtf8(json.data(), static_cast<qsizetype>(json.size()));
}

}  // namespace

StateFeed::StateFeed(std::function<MonitorStatus()> status, const EventHistory& events,
                     std::string layoutJson)
    : status_(std::move(status)), events_(events), layoutJson_(std::move(layoutJson)) {
  pending_.setSingleShot(true);
  QObject::connect(&pending_, &QTimer::timeout, [this] { sendChanges(); });
  sinceLastMessage_.start();
}

void StateFeed::add(std::unique_ptr<QWebSocket> client) {
  // The others catch up first, so that from here on every client has seen the same.
  sendChanges();
  QWebSocket& socket = *client;
  clients_.add(std::move(client));
  clients_.send(socket, qtUtf8(fullJson(status_())));
}

void StateFeed::touched() {
  if (clients_.empty() || pending_.isActive()) return;
  pending_.start(static_cast<int>(std::max<qint64>(0, kMessageIntervalMs - sinceLastMessage_.elapsed())));
}

void StateFeed::sendChanges() {
  pending_.stop();
  const MonitorStatus status = status_();
  const std::string changes = changesJson(status);
  if (changes.empty() || clients_.empty()) return;
  clients_.broadcast(qtUtf8(changes));
  sinceLastMessage_.restart();
}

// {"type": "update", ...} with what changed since the last message, or "" for nothing.
std::string StateFeed::changesJson(const MonitorStatus& status) {
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
  if (status.counters.samplesTaken() != samplesSent_) {
    add("samples", samplesJson(status.counters, samplesSent_));
    samplesSent_ = status.counters.samplesTaken();
  }
  if (events_.nextNumber() != eventsSent_) {
    add("events", events_.arrayFrom(eventsSent_));
    eventsSent_ = events_.nextNumber();
  }
  if (out.empty()) return out;
  return "{\"type\": \"update\"" + out + "}";
}

std::string StateFeed::fullJson(const MonitorStatus& status) const {
  return "{\"type\": \"full\", \"layout\": " + layoutJson_ + ", \"state\": " + stateJson(status) +
         ", \"history\": " + samplesJson(status.counters, 0) +
         ", \"events\": " + events_.arrayFrom(0, kEventsOnJoin) + "}";
}

}  // namespace tallowmere
