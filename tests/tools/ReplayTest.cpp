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

// Every kind of script line in turn; at the end the metadata tick writes the text.
TEST_F(ReplayTest, ScriptEventsRunInTurn) {
  const auto receiveChunk = [](const Group& g) { return '"' + groupLine(g).substr(0, 25) + "\\r\\n\"\n"; };
  const std::string text = radioTextForAir("J\xFCz\xFF", TextEnd::CarriageReturn);
  std::string published;  // enough groups of one text for it to be shown
  for (int i = 0; i < 30; ++i) published += receiveChunk(radioTextGroup(kDaleFm, false, i % 2, text));
  writeIni("[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n");
  writeFile("script.jsonl", "{\"tick\": \"rssi\"}\n{\"tick\": \"start\"}\n" +
                                receiveChunk(basicTuningGroup(kDaleFm, {}, 0, "DALE FM ", 0xE0CD)) +
                                "{\"dump\": true}\n\n{\"freq\": \"104.5\"}\n{\"click\": \"cmdSetFreq\"}\n" +
                                published + "{\"vol\": \"12\"}\n{\"click\": \"cmdSetVolume\"}\n");
  const Replay run = replay({"--script", "script.jsonl"});
  ASSERT_EQ(run.dumps.size(), 2u) << run.err;
  EXPECT_EQ(shown(run.dumps[0], "lblPS"), "DA______");
  EXPECT_EQ(run.last()["sent"].toArray(),
            (QJsonArray{"i\r\n", "f8880\r\n", "v8\r\n", "f10450\r\n", "v12\r\n"}));
  // Bytes 0x80-0xFF come through the dump unchanged.
  EXPECT_EQ(shown(run.last(), "lblRTA"), QString::fromLatin1("J\xFCz\xFF\r   ") + QString(56, '_'));
  EXPECT_EQ(readFile("metadata.txt"), "J\xFCz\xFF\r\n");
}

}  // namespace
}  // namespace tallowmere::test
