#include "tests/support/ReplayProcess.h"

#include <sys/wait.h>

#include <QJsonDocument>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace tallowmere::test {
namespace {

QJsonObject field(const QJsonObject& dump, const char* name) {
  return dump["fields"].toObject()[name].toObject();
}

}  // namespace

QString ReplayOutcome::text(const char* name) const {
  return field(dump, name)["text"].toString();
}
QString ReplayOutcome::foreground(const char* name) const {
  return field(dump, name)["fg"].toString();
}
QString ReplayOutcome::background(const char* name) const {
  return field(dump, name)["bg"].toString();
}
long ReplayOutcome::decoded() const {
  return dump["decoded"].toInteger(-1);
}

ReplayOutcome replayTranscript(const std::string& binary, const std::string& transcript) {
  ReplayOutcome outcome;
  std::FILE* p = ::popen((binary + " " + transcript + " 2>replay-stderr.txt").c_str(), "r");
  if (p == nullptr) return outcome;
  std::string out;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) out.append(buffer, n);
  outcome.status = WEXITSTATUS(::pclose(p));
  const QList<QByteArray> lines = QByteArray::fromStdString(out).trimmed().split('\n');
  outcome.dump = QJsonDocument::fromJson(lines.last()).object();
  std::ifstream e("replay-stderr.txt");
  outcome.err.assign(std::istreambuf_iterator<char>(e), {});
  return outcome;
}

}  // namespace tallowmere::test
