// The chunk reader on an in-memory device: bytes the receiver sends are appended to a
// buffer, and the test sees the chunks and the runs that the reader hands over.
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

// `count` different lines of 26 bytes.
std::string groups(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += ">>> D42A:2400:" + std::to_string(1000 + i) + ":636B<\r\n";
  return text;
}

class ChunkReaderTest : public ::testing::Test, private ChunkSink {
 protected:
  ChunkReaderTest() {
    device.open(QIODevice::ReadOnly);
    reader.setDeviceName("/dev/ttyUSB0");
  }
  // Bytes arrive; with `announced`, the device says so, as a port does once it has read them.
  void receive(const std::string& bytes, bool announced = true) {
    device.buffer().append(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (announced) emit device.readyRead();
  }
  static bool pumpUntil(const std::function<bool()>& condition) {
    return eventually([&] {
      QCoreApplication::processEvents();
      return condition();
    });
  }
  std::string joined() const { return std::accumulate(chunks.begin(), chunks.end(), std::string()); }

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

// Framing itself is the line framer's; the reader adds the silence that ends a line
// without LF.
TEST_F(ChunkReaderTest, HandsOverALineWithoutLfOnceTheLineWentQuiet) {
  receive(kGroup + ">>> D42A");
  receive(":05");
  EXPECT_TRUE(pumpUntil([&] { return chunks.size() >= 2; }));
  EXPECT_EQ(chunks, (std::vector<std::string>{kGroup, ">>> D42A:05"}));
}

// A backlog goes out in runs, and a click waiting meanwhile is served before it ends.
// When the device fails, every line it delivered is handed over before the failure is:
// those waiting for their run, those read but not yet announced, and a line cut short.
TEST_F(ChunkReaderTest, DeliversABacklogInRunsWithClicksServedInBetweenAndAllOfItOnFailure) {
  slowDecoder = true;
  receive(groups(100));
  std::size_t seenByClick = 0;
  QTimer::singleShot(0, [&] { seenByClick = chunks.size(); });
  ASSERT_TRUE(pumpUntil([&] { return seenByClick > 0; }));
  ASSERT_LT(chunks.size(), 100u);
  receive(kGroup + ">>> D42A:05", false);
  reader.deviceFailed();
  EXPECT_EQ(joined(), groups(100) + kGroup + ">>> D42A:05");
  EXPECT_EQ(runEnds.back(), 102u);
}

// At most a mebibyte waits: past it the oldest lines are dropped and counted on stderr,
// at once, then at most once a minute, and at the latest when the device fails.
TEST_F(ChunkReaderTest, DropsTheOldestLinesPast1MiBAndReportsThem) {
  constexpr std::size_t kFit = 40'329;  // lines of 26 bytes in 1 MiB
  std::string flood;
  for (std::size_t i = 0; i < kFit + 100; ++i) flood += kGroup;
  ::testing::internal::CaptureStderr();
  receive(flood + groups(1));
  ASSERT_TRUE(pumpUntil([&] { return chunks.size() >= kFit; }));
  EXPECT_EQ(chunks.back(), groups(1));
  receive(flood.substr(0, kGroup.size() * (kFit + 7)));
  reader.deviceFailed();
  EXPECT_EQ(chunks.size(), 2 * kFit);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "tallowmere: receiver /dev/ttyUSB0 sent more than could be decoded: 101 lines dropped\n"
            "tallowmere: receiver /dev/ttyUSB0 sent more than could be decoded: 7 lines dropped\n");
}

}  // namespace
}  // namespace tallowmere::test
