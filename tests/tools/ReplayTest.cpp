// tallowmere-replay run as a process, the way tests, benchmarks and users run it.
#include <gtest/gtest.h>

#include <QJsonArray>

#include "tests/support/ReplayProcess.h"
#include "tests/support/WorkingFolder.h"
#include "tools/sim/GroupEncoder.h"

namespace tallowmere::test {
namespace {

using ReplayTest = InWorkingFolder;
constexpr Programme kDaleFm{.pi = 0xC4B2, .tp = true, .pty = 10};

// A script line receiving the group line as one chunk.
std::string chunk(const Group& group) {
  return '"' + groupLine(group).substr(0, 25) + "\\r\\n\"\n";
}

TEST_F(ReplayTest, ScriptEventsRunInTurn) {
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  writeFile("script.jsonl", "{\"tick\": \"rssi\"}\n{\"tick\": \"start\"}\n\" RDS STEREO RSSI: 42\\r\\n\"\n" +
                                chunk(basicTuningGroup(kDaleFm, {}, 0, "DALE FM ", 0xE0CD)) +
                                "{\"dump\": true}\n\n{\"freq\": \"104.5\"}\n{\"click\": \"cmdSetFreq\"}\n" +
                                chunk(radioTextGroup(kDaleFm, false, 0, "J\xFCz\xFF")) +
                                "{\"vol\": \"12\"}\n{\"click\": \"cmdSetVolume\"}\n");
  const Replay run = replay({"--script", "script.jsonl"});
  ASSERT_EQ(run.dumps.size(), 2u) << run.err;
  EXPECT_EQ(shown(run.dumps[0], "lblRSSI"), "RSSI: 42 dBuV");
  EXPECT_EQ(shown(run.dumps[0], "lblPS"), "DA______");
  EXPECT_EQ(run.last()["sent"].toArray(),
            (QJsonArray{"i\r\n", "f8880\r\n", "v8\r\n", "f10450\r\n", "v12\r\n"}));
  // Bytes 0x80-0xFF come through the dump unchanged.
  EXPECT_EQ(shown(run.last(), "lblRTA"), QString::fromLatin1("J\xFCz\xFF") + QString(60, '_'));
}

// A transcript longer than one read of the file, its last line without LF; the metadata
// tick at the end writes the text.
TEST_F(ReplayTest, TranscriptToItsLastLine) {
  const std::string air = radioTextForAir("Up next: Ada Fairweather live", TextEnd::CarriageReturn);
  std::string transcript;
  for (int i = 0; i < 3000; ++i) transcript += groupLine(radioTextGroup(kDaleFm, false, i % 8, air));
  writeFile("transcript.txt", transcript.substr(0, transcript.size() - 1));
  EXPECT_EQ(replay({"transcript.txt"}).last()["decoded"].toInteger(), 3000);
  EXPECT_EQ(readFile("metadata.txt"), "Up next: Ada Fairweather live\r\n");
}

TEST_F(ReplayTest, CommandLine) {
  writeFile("bad.jsonl", "\"ok\"\n{\"tick\": \"noon\"}\n");
  writeFile("wide.jsonl", "\"\\u0100\"\n");
  // clang-format off
  const std::tuple<std::vector<std::string>, int, std::string> runs[] = {
      {{"--help"}, 0, "Usage: tallowmere-replay"}, {{}, 2, "Usage: tallowmere-replay"},
      {{"a.txt", "b.txt"}, 2, "unexpected argument 'b.txt'"}, {{"--scrip", "a.txt"}, 2, "unexpected argument '--scrip'"},
      {{"missing.txt"}, 2, "cannot read missing.txt: No such file"}, {{"."}, 2, "cannot read .: Is a directory"},
      {{"--script", "bad.jsonl"}, 2, "bad.jsonl:2: "}, {{"--script", "wide.jsonl"}, 2, "wide.jsonl:1: "}};
  // clang-format on
  for (const auto& [arguments, status, says] : runs) {
    const Replay run = replay(arguments);
    EXPECT_EQ(run.status, status) << says;
    EXPECT_NE((run.out + run.err).find(says), std::string::npos) << run.out << run.err;
  }
}

}  // namespace
}  // namespace tallowmere::test
