#pragma once

#include <QJsonDocument>
#include <QJsonObject>

#include "tests/support/ChildProcess.h"

inline void PrintTo(const QString& text, std::ostream* os) {  // global: where gtest looks for it
  *os << '"' << text.toStdString() << '"';
}

// tallowmere-replay run to its end here, and its display dumps; shown(): a field's "text", "fg" or "bg".
struct Replay : tallowmere::test::RunResult {
  std::vector<QJsonObject> dumps;
  QJsonObject last() const { return dumps.empty() ? QJsonObject() : dumps.back(); }
};

inline Replay replay(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), REPLAY_BINARY);
  Replay run{tallowmere::test::runToEnd(std::move(arguments)), {}};
  for (const QByteArray& line : QByteArray::fromStdString(run.out).split('\n'))
    if (line.startsWith('{')) run.dumps.push_back(QJsonDocument::fromJson(line).object());
  return run;
}

inline QString shown(const QJsonObject& dump, const QString& field, const QString& property = "text") {
  return dump["fields"].toObject()[field].toObject()[property].toString();
}
