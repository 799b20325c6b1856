#pragma once

#include <QJsonObject>
#include <QString>
#include <ostream>
#include <string>

// Test failures show field texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace tallowmere::test {

// tallowmere-replay run on a receiver transcript in the current folder: its exit
// status, the last display dump it printed and what it wrote to stderr.
struct ReplayOutcome {
  int status = -1;
  QJsonObject dump;
  std::string err;

  QString text(const char* field) const;
  QString foreground(const char* field) const;
  QString background(const char* field) const;
  bool lit(const char* field) const { return foreground(field) == "#FFFFFF"; }
  long decoded() const;
};

ReplayOutcome replayTranscript(const std::string& binary, const std::string& transcript);

}  // namespace tallowmere::test
