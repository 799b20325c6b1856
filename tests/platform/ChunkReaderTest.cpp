// The chunk reader on an in-memory buffer the test appends to; the sink records chunks and runs.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QTimer>
#include <numeric>
#include <thread>

#include "platform/ChunkReader.h"
#include "tests/support/ChildProcess.h"

namespace tallowmere::test {
namespace {

const std::string kGroup = ">>> D42A:0548:E0CD:3130<\r\n";  // 26 bytes

// `count` lines of 26 bytes, the first ten thousand all different.
std::string groups(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i)
    text += ">>> D42A:2400:" + std::to_string(10000 + i).substr(1) + ":636B<\r\n";
  return text;
}

class ChunkReaderTest : public ::testing::Test, private ChunkSink {
 protected:
  ChunkReaderTest() { device.open(QIODevice::ReadOnly); }
  // Bytes arrive; with `announced`, the device says so, as a port does once it has read them.
  void receive(const std::string& bytes, bool announced = true) {
    device.buffer().append(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (announced) emit device.readyRead();
  }
  static bool pumpUntil(const std::function<bool()>& condition) {
    return eventually([&] { return QCoreApplication::processEvents(), condition(); });
  }

  QBuffer device;
  ChunkReader reader{device, *this};
  std::vector<std::string> chunks;
  std::vector<std::size_t> runEnds;  // how many chunks had arrived at the end of each run
  bool slowDecoder = false;

 private:
  void chunkReceived(std::string_view chunk) override {
    chunks.emplace_back(chunk);
    if (slowDecoder) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void chunksDelivered() override { runEnds.push_back(chunks.size()); }
};

// A line without LF goes out once the line went quiet; a backlog, in runs with a waiting click served in
// between. On failure all delivered goes out first: waiting for a run, read but not announced, cut short.
TEST_F(ChunkReaderTest, HandsOverQuietLinesAndBacklogsInRunsAndAllOfItOnFailure) {
  ::testing::internal::CaptureStderr();  // nothing dropped: nothing to report
  receive(kGroup + ">>> D42A");
  receive(":05");
  ASSERT_TRUE(pumpUntil([&] { return chunks.size() >= 2; }));
  EXPECT_EQ(chunks, (std::vector<std::string>{kGroup, ">>> D42A:05"}));
  chunks.clear();
  slowDecoder = true;
  receive(groups(100));
  std::size_t seenByClick = 0;
  QTimer::singleShot(0, [&] { seenByClick = chunks.size(); });
  ASSERT_TRUE(pumpUntil([&] { return seenByClick > 0; }));
  ASSERT_LT(chunks.size(), 100u);
  receive(kGroup + ">>> D42A:05", false);
  reader.deviceFailed();
  EXPECT_EQ(std::accumulate(chunks.begin(), chunks.end(), std::string()),
            groups(100) + kGroup + ">>> D42A:05");
  EXPECT_EQ(runEnds.back(), 102u);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// At most a mebibyte waits: past it the oldest lines are dropped and counted on stderr,
// at once, then at most once a minute, and at the latest when the device fails.
TEST_F(ChunkReaderTest, DropsTheOldestLinesPast1MiBAndReportsThem) {
  constexpr std::size_t kFit = 40'329;  // lines of 26 bytes in 1 MiB
  reader.setDeviceName("/dev/ttyUSB0");
  ::testing::internal::CaptureStderr();
  receive(groups(kFit + 100) + kGroup);
  ASSERT_TRUE(pumpUntil([&] { return chunks.size() >= kFit; }));
  EXPECT_EQ(chunks.back(), kGroup);
  receive(groups(kFit + 7));
  reader.deviceFailed();
  EXPECT_EQ(chunks.size(), 2 * kFit);
  const std::string said = "tallowmere: receiver /dev/ttyUSB0 sent more than could be decoded: ";
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            said + "101 lines dropped\n" + said + "7 lines dropped\n");
}

}  // namespace
}  // namespace tallowmere::test
