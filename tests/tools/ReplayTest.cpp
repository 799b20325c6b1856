// tallowmere-replay run as a process, the way tests, benchmarks and users run it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

using ReplayTest = InWorkingFolder;

struct ReplayRun {
  int status;
  std::vector<QJsonObject> dumps;
  std::string err;
};

ReplayRun replay(const std::string& args, const std::string& binary = REPLAY_BINARY) {
  ReplayRun run;
  std::FILE* p = ::popen((binary + " " + args + " 2>stderr.txt").c_str(), "r");
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) out.append(buffer, n);
  run.status = WEXITSTATUS(::pclose(p));
  for (const QByteArray& line : QByteArray::fromStdString(out).split('\n')) {
    if (!line.isEmpty()) run.dumps.push_back(QJsonDocument::fromJson(line).object());
  }
  std::ifstream e("stderr.txt");
  run.err.assign(std::istreambuf_iterator<char>(e), {});
  return run;
}

QString text(const QJsonObject& dump, const char* field) {
  return dump["fields"].toObject()[field].toObject()["text"].toString();
}
QString colour(const QJsonObject& dump, const char* field, const char* which) {
  return dump["fields"].toObject()[field].toObject()[which].toString();
}
QStringList sent(const QJsonObject& dump) {
  QStringList lines;
  for (const QJsonValue& v : dump["sent"].toArray()) lines << v.toString();
  return lines;
}

TEST_F(ReplayTest, ScriptRetunesInTheMiddleOfAStation) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  writeFile("script.jsonl",
            "{\"tick\": \"rssi\"}\n"
            "\" RDS STEREO RSSI: 42\\r\\n\"\n"
            "{\"tick\": \"start\"}\n"
            "\" RDS STEREO RSSI: 42\\r\\n\"\n"
            "\">>> D42A:0548:E0CD:3130<\\r\\n\"\n"
            "\">>> D42A:0549:E0CD:342E<\\r\\n\"\n"
            "\">>> D42A:054A:E0CD:3652<\\r\\n\"\n"
            "\">>> D42A:054B:E0CD:544C<\\r\\n\"\n"
            "\">>> D42A:0558:E0CD:3130<\\r\\n\"\n"
            "\">>> D42A:0558:E0CD:3130<\\r\\n\"\n"
            "\n"
            "{\"dump\": true}\n"
            "{\"freq\": \"104.5\"}\n"
            "{\"click\": \"cmdSetFreq\"}\n"
            "{\"dump\": true}\n"
            "\">>> C204:2400:4AFC:7AFF<\\r\\n\"\n"
            "{\"vol\": \"16\"}\n"
            "{\"click\": \"cmdSetVolume\"}\n");
  const ReplayRun run = replay("--script script.jsonl");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.dumps.size(), 3u);

  const QJsonObject& station = run.dumps[0];
  EXPECT_EQ(text(station, "lblPS"), "104.6RTL");
  EXPECT_EQ(text(station, "lblPI"), "D42A");
  EXPECT_EQ(text(station, "lblPTY"), "10 - Pop Music");
  EXPECT_EQ(text(station, "lblRSSI"), "RSSI: 42 dBuV");
  EXPECT_EQ(text(station, "lblTraffic"), "TRAFFIC ANNOUNCEMENT");
  EXPECT_EQ(colour(station, "lblTraffic", "bg"), "#FF0000");
  EXPECT_EQ(colour(station, "lbl0A", "bg"), "#008000");
  EXPECT_TRUE(station["fields"].toObject()["Label17"].toObject()["bg"].isNull());
  EXPECT_FALSE(station["fields"].toObject()["lblUTCdate"].toObject()["visible"].toBool());
  EXPECT_EQ(sent(station), (QStringList{"i\r\n", "f8880\r\n", "v8\r\n"}));

  const QJsonObject& retuned = run.dumps[1];
  EXPECT_EQ(text(retuned, "lblPS"), "");
  EXPECT_EQ(text(retuned, "lblPTY"), "10 - Pop Music");  // kept until the next 0A/0B
  EXPECT_EQ(text(retuned, "lblTraffic"), "WAITING FOR TRAFFIC FLAG STATUS");
  EXPECT_EQ(colour(retuned, "lbl0A", "fg"), "#808080");
  EXPECT_EQ(sent(retuned).last(), "f10450\r\n");

  // The final dump follows one metadata tick; bytes 0x80-0xFF come through unchanged.
  const QJsonObject& last = run.dumps[2];
  EXPECT_EQ(text(last, "lblRTA"), QString::fromLatin1("J\xFCz\xFF") + QString(60, '_'));
  EXPECT_EQ(text(last, "lblRadioText"), "");
  EXPECT_EQ(text(last, "txtVol"), "8");
  EXPECT_EQ(sent(last).size(), 4);
  EXPECT_EQ(readFile("metadata.txt"), "\r\n");
  EXPECT_EQ(readFile("traffic.txt"), " 0 \r\n");
}

TEST_F(ReplayTest, CaptureModeAndBadInput) {
  writeFile("capture.txt", " RDS STEREO RSSI: 42\r\n>>> C201:0548:E0CD:4142<\r\n>>> C201:0549:E0CD:4344<");
  ReplayRun run = replay("capture.txt");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.dumps.size(), 1u);
  EXPECT_EQ(text(run.dumps[0], "lblPS"), "ABCD____");  // a last line without LF counts
  EXPECT_EQ(text(run.dumps[0], "txtFreq"), "INVALID");  // no INI: an empty frequency
  EXPECT_NE(run.err.find("tallowmere.ini: not found"), std::string::npos);

  writeFile("bad.jsonl", "\"ok\"\n{\"tick\": \"noon\"}\n");
  run = replay("--script bad.jsonl");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("bad.jsonl:2:"), std::string::npos) << run.err;
  run = replay("--script missing.jsonl");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot read missing.jsonl"), std::string::npos) << run.err;
  writeFile("wide.jsonl", "\"\\u0100\"\n");
  EXPECT_EQ(replay("--script wide.jsonl").status, 2);
  EXPECT_EQ(replay("--help").status, 0);
}

TEST_F(ReplayTest, AFolderItCannotWriteStopsNothing) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  writeFile("capture.txt", ">>> D42A:0410:E0CD:3130<\r\n>>> D42A:0410:E0CD:3130<\r\n");
  // Root writes anywhere: run as an unprivileged user in a folder it may only read. The
  // binary is copied in, so that user can run it wherever the build lives.
  std::filesystem::copy_file(REPLAY_BINARY, "replay");
  namespace fs = std::filesystem;
  fs::permissions(folder, fs::perms(0555));
  const std::string binary = ::geteuid() == 0
      ? "setpriv --reuid=65534 --regid=65534 --clear-groups ./replay" : "./replay";
  const ReplayRun run = replay("capture.txt", binary);
  fs::permissions(folder, fs::perms(0755));
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.dumps.size(), 1u);
  EXPECT_EQ(text(run.dumps[0], "lblTraffic"), "TRAFFIC ANNOUNCEMENT");
  EXPECT_EQ(text(run.dumps[0], "lblPS"), "10______");
  EXPECT_NE(run.err.find("cannot write " + (folder / "traffic.txt").string() + " (Permission denied)"),
            std::string::npos) << run.err;
  EXPECT_NE(run.err.find("cannot write " + (folder / "metadata.txt").string()), std::string::npos);

  // A settings file that user may not read.
  fs::permissions("tallowmere.ini", fs::perms(0));
  const ReplayRun unreadable = replay("capture.txt", binary);
  EXPECT_EQ(unreadable.status, 0);
  EXPECT_NE(unreadable.err.find("tallowmere.ini: cannot be read (Permission denied)"), std::string::npos)
      << unreadable.err;
}

}  // namespace
}  // namespace tallowmere::test
