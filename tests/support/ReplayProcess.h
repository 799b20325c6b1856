#pragma once

#include <QJsonDocument>
#include <QJsonObject>

#include "tests/support/ChildProcess.h"

// Test failures show field texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace tallowmere::test {

// tallowmere-replay (REPLAY_BINARY, from the test target) run to its end in the current
// folder, with the display dumps it printed, one JSON object a line.
struct Replay : RunResult {
  std::vector<QJsonObject> dumps;
  QJsonObject last() const { return dumps.empty() ? QJsonObject() : dumps.back(); }
};

inline Replay replay(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), REPLAY_BINARY);
  Replay run{runToEnd(std::move(arguments)), {}};
  for (const QByteArray& line : QByteArray::fromStdString(run.out).split('\n'))
    if (line.startsWith('{')) run.dumps.push_back(QJsonDocument::fromJson(line).object());
  return run;
}

// One property of a field in a dump: its "text", or its colours "fg" and "bg".
inline QString shown(const QJsonObject& dump, const QString& field, const QString& property = "text") {
  return dump["fields"].toObject()[field].toObject()[property].toString();
}

}  // namespace tallowmere::test
