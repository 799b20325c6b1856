// The output file writer: exact bytes, atomic replacement, links and permissions kept,
// failures reported once and leaving nothing behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "output/AtomicFileWriter.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

namespace fs = std::filesystem;

using FileWriterTest = InWorkingFolder;

std::vector<std::string> filesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(FileWriterTest, AReaderPollingMeanwhileSeesOnlyWholeFiles) {
  AtomicFileWriter writer;
  const std::string a = std::string(64, 'A') + "\r\n";
  const std::string b = "B\r\n";
  ASSERT_TRUE(writer.replace("metadata.txt", a));
  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::atomic<int> bad{0};
  std::thread reader([&] {
    while (!done) {
      const std::string seen = readFile("metadata.txt");
      if (seen != a && seen != b) ++bad;
      ++reads;
    }
  });
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(writer.replace("metadata.txt", i % 2 ? a : b));
  done = true;
  reader.join();
  EXPECT_EQ(bad, 0) << "of " << reads << " reads";
  EXPECT_GT(reads, 0);
  EXPECT_EQ(filesIn(folder), std::vector<std::string>{"metadata.txt"});  // no temporary left
}

TEST_F(FileWriterTest, KeepsPermissionBitsAndSymbolicLinks) {
  AtomicFileWriter writer;
  writeFile("traffic.txt", "?\r\n");
  fs::permissions("traffic.txt", fs::perms(0640));
  ASSERT_TRUE(writer.replace("traffic.txt", " 1 \r\n"));
  EXPECT_EQ(readFile("traffic.txt"), " 1 \r\n");
  EXPECT_EQ(fs::status("traffic.txt").permissions() & fs::perms::all, fs::perms(0640));

  // A link into another folder, relative to the link's own folder: the file it points to
  // is replaced there, and the link stays a link.
  fs::create_directories("out/web");
  writeFile("out/web/now.txt", "old\r\n");
  fs::create_symlink("out/web/now.txt", "metadata.txt");
  ASSERT_TRUE(writer.replace("metadata.txt", "Jazztime\r\n"));
  EXPECT_TRUE(fs::is_symlink("metadata.txt"));
  EXPECT_EQ(readFile("out/web/now.txt"), "Jazztime\r\n");
  EXPECT_EQ(filesIn("out/web"), std::vector<std::string>{"now.txt"});

  // A dangling link: the file is created where it points.
  fs::create_symlink("out/web/later.txt", "later.txt");
  ASSERT_TRUE(writer.replace("later.txt", "\r\n"));
  EXPECT_EQ(readFile("out/web/later.txt"), "\r\n");
}

TEST_F(FileWriterTest, ReportsAnOutageOnceAndItsEnd) {
  AtomicFileWriter writer("missing-folder");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(writer.replace("traffic.txt", " 0 \r\n"));
  EXPECT_FALSE(writer.replace("traffic.txt", " 1 \r\n"));
  fs::create_directory("missing-folder");
  EXPECT_TRUE(writer.replace("traffic.txt", " 1 \r\n"));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot write " + (folder / "missing-folder/traffic.txt").string() +
                     " (No such file or directory)"),
            std::string::npos)
      << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  EXPECT_NE(err.find("works again"), std::string::npos);

  // A directory in the file's place cannot be replaced; nothing is left beside it.
  fs::create_directory("metadata.txt");
  AtomicFileWriter here;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(here.replace("metadata.txt", "\r\n"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("metadata.txt"), std::string::npos);
  EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"metadata.txt", "missing-folder"}));
}

}  // namespace
}  // namespace tallowmere::test
