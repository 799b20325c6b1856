// Cutting the receiver's byte stream into one receive chunk per line, bounded.
#include <gtest/gtest.h>

#include "receiver/LineFramer.h"

namespace tallowmere::test {
namespace {

std::vector<std::string> drain(LineFramer& framer) {
  std::vector<std::string> chunks;
  while (framer.hasChunk()) chunks.push_back(framer.takeChunk());
  return chunks;
}

TEST(LineFramerTest, MakesOneChunkPerLineHoweverTheBytesArrive) {
  const std::string a = ">>> D42A:0548:E0CD:3130<\r\n", b = ">>> D42A:0549:E0CD:342E<\r\n";
  const std::string longLine = std::string(100'000, 'x') + "yz\n";
  // clang-format off
  struct Case { const char* what; std::vector<std::string> arrivals, chunks; std::string partial; };
  const std::vector<Case> cases = {
      {"one line per read", {a, b}, {a, b}, ""},
      {"back to back in one read", {a + b + " RDS\r\n"}, {a, b, " RDS\r\n"}, ""},
      {"cut at odd places", {a.substr(0, 3), a.substr(3, 20), a.substr(23) + b.substr(0, 1), b.substr(1)}, {a, b}, ""},
      {"a line not yet ended waits", {a + ">>> D42A"}, {a}, ">>> D42A"},
      {"CR alone ends nothing", {"abc\rdef\r"}, {}, "abc\rdef\r"},
      {"NUL and high bytes are bytes", {std::string("\0\xff\x80\n", 4)}, {std::string("\0\xff\x80\n", 4)}, ""},
      {"empty lines", {"\n\n"}, {"\n", "\n"}, ""},
      {"a line without end is cut at 64 KiB", {longLine}, {longLine.substr(0, 65536), longLine.substr(65536)}, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    LineFramer framer;
    for (const std::string& bytes : c.arrivals) framer.append(bytes);
    EXPECT_EQ(drain(framer), c.chunks) << c.what;
    ASSERT_EQ(framer.flushPartial(), !c.partial.empty()) << c.what;
    EXPECT_EQ(drain(framer), c.partial.empty() ? std::vector<std::string>{} : std::vector{c.partial})
        << c.what;
  }
}

TEST(LineFramerTest, KeepsAtMost1MiBWaitingAndCountsWhatItDrops) {
  LineFramer framer;
  const std::string line = ">>> D42A:0548:E0CD:3130<\r\n";
  const std::size_t fits = LineFramer::kMaxWaiting / line.size();
  std::string flood;
  for (std::size_t i = 0; i < fits + 100; ++i) flood += line;
  framer.append(flood);
  EXPECT_EQ(framer.takeDroppedCount(), 100u);
  EXPECT_EQ(framer.takeDroppedCount(), 0u);
  EXPECT_EQ(drain(framer).size(), fits);
}

}  // namespace
}  // namespace tallowmere::test
