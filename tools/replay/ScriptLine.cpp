#include "tools/replay/ScriptLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace tallowmere {
namespace {

ScriptLineResult invalid(std::string why) {
  return {BlankLine{}, std::move(why)};
}

std::string quoted(const QString& key) {
  return '"' + key.toStdString() + '"';
}

// The bytes of a string whose every code point is 0-255.
bool toBytes(const QString& text, std::string& bytes) {
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) return false;
    bytes.push_back(static_cast<char>(c.unicode()));
  }
  return true;
}

ScriptLineResult parseObject(const QJsonObject& object) {
  if (object.size() != 1) return invalid("an event object has exactly one key");
  const QString key = object.begin().key();
  const QJsonValue value = object.begin().value();
  if (key == "dump") {
    if (value != QJsonValue(true)) return invalid("\"dump\" takes true");
    return {Dump{}, {}};
  }
  if (!value.isString()) return invalid(quoted(key) + " takes a string");
  const QString text = value.toString();
  if (key == "tick") {
    if (text == "start") return {TimerTick{TimerId::tmrSetFreqAtStart}, {}};
    if (text == "rssi") return {TimerTick{TimerId::tmrRSSI}, {}};
    if (text == "metadata") return {TimerTick{TimerId::tmrWriteMetadata}, {}};
    return invalid("\"tick\" is \"start\", \"rssi\" or \"metadata\"");
  }
  if (key == "click") {
    if (text == "cmdSetFreq") return {Click{true}, {}};
    if (text == "cmdSetVolume") return {Click{false}, {}};
    return invalid("\"click\" is \"cmdSetFreq\" or \"cmdSetVolume\"");
  }
  if (key == "freq" || key == "vol") {
    std::string bytes;
    if (!toBytes(text, bytes)) return invalid("a box text holds only code points 0-255");
    return {TypeText{key == "freq", std::move(bytes)}, {}};
  }
  return invalid("unknown event " + quoted(key));
}

}  // namespace

ScriptLineResult parseScriptLine(std::string_view line) {
  if (line.find_first_not_of(" \t\r\n") == std::string_view::npos) return {BlankLine{}, {}};
  // Wrapped in an array, since a JSON document cannot be a bare string.
  QByteArray wrapped = "[";
  wrapped.append(line.data(), static_cast<qsizetype>(line.size()));
  wrapped.append(']');
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(wrapped, &error);
  if (error.error != QJsonParseError::NoError || document.array().size() != 1) {
    return invalid("not one JSON value");
  }
  const QJsonValue value = document.array().at(0);
  if (value.isString()) {
    std::string bytes;
    if (!toBytes(value.toString(), bytes)) return invalid("a chunk holds only code points 0-255");
    return {ReceiveChunk{std::move(bytes)}, {}};
  }
  if (value.isObject()) return parseObject(value.toObject());
  return invalid("neither a string nor an event object");
}

}  // namespace tallowmere
