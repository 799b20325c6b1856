// Cutting the receiver's byte stream into one receive chunk per line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver/LineFramer.h"

namespace tallowmere::test {
namespace {

std::vector<std::string> drain(LineFramer& framer) {
  std::vector<std::string> chunks;
  while (framer.hasChunk()) chunks.push_back(framer.takeChunk());
  return chunks;
}

TEST(LineFramerTest, MakesOneChunkPerLineHoweverTheBytesArrive) {
  struct Case {
    const char* what;
    std::vector<std::string> arrivals;
    std::vector<std::string> chunks;
    std::string partial;  // what waits for the line to go quiet
  };
  const std::string a = ">>> D42A:0548:E0CD:3130<\r\n";
  const std::string b = ">>> D42A:0549:E0CD:342E<\r\n";
  const std::string status = " RDS STEREO RSSI: 47\r\n";
  // clang-format off
  const std::vector<Case> cases = {
      {"one line per read", {a, b}, {a, b}, ""},
      {"back to back in one read", {a + b + status}, {a, b, status}, ""},
      {"cut at odd places",
       {a.substr(0, 3), a.substr(3, 20), a.substr(23) + b.substr(0, 1), b.substr(1)},
       {a, b},
       ""},
      {"CR and LF apart", {a.substr(0, a.size() - 1), "\n"}, {a}, ""},
      {"a line not yet ended waits", {a + ">>> D42A"}, {a}, ">>> D42A"},
      {"CR alone ends nothing", {"abc\rdef\r"}, {}, "abc\rdef\r"},
      {"NUL and high bytes are bytes like others",
       {std::string("\0\xff\x80\n", 4)},
       {std::string("\0\xff\x80\n", 4)},
       ""},
      {"empty lines", {"\n\n"}, {"\n", "\n"}, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    LineFramer framer;
    for (const std::string& bytes : c.arrivals) framer.append(bytes);
    EXPECT_EQ(drain(framer), c.chunks) << c.what;
    ASSERT_EQ(framer.flushPartial(), !c.partial.empty()) << c.what;
    if (!c.partial.empty()) {
      EXPECT_EQ(drain(framer), std::vector<std::string>{c.partial}) << c.what;
    }
  }
}

TEST(LineFramerTest, CutsALineWithoutEndAt64KiB) {
  LineFramer framer;
  framer.append(std::string(100'000, 'x'));
  framer.append("yz\n");
  const auto chunks = drain(framer);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].size(), LineFramer::kMaxChunk);
  EXPECT_EQ(chunks[1].size(), 100'003 - LineFramer::kMaxChunk);
  EXPECT_EQ(chunks[1].substr(chunks[1].size() - 3), "yz\n");
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
  // Cleared when the port goes: nothing of the old line joins the next one.
  framer.append("half a li");
  framer.clear();
  framer.append("ne\n");
  EXPECT_EQ(drain(framer), std::vector<std::string>{"ne\n"});
}

}  // namespace
}  // namespace tallowmere::test
