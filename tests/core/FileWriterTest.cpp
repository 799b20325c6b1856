// The output file writer: exact bytes, atomic replacement or writing in place, links, owner
// and permissions kept, failures reported once and leaving nothing behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <tuple>

#include "output/AtomicFileWriter.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

namespace fs = std::filesystem;

using FileWriterTest = InWorkingFolder;

// The user runUnprivileged runs as when the tests run as root.
constexpr uid_t kNobody = 65534;
const bool kRoot = ::geteuid() == 0;

// What a file is, beyond its content; a file replaced by a new one keeps all but the inode.
auto identity(const fs::path& path, bool withInode = true) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return std::tuple(withInode ? st.st_ino : 0, st.st_mode, st.st_uid, st.st_gid);
}

std::vector<std::string> filesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(FileWriterTest, AReaderPollingMeanwhileSeesOnlyWholeFiles) {
  AtomicFileWriter writer;
  const std::string a = std::string(64, 'A') + "\r\n", b = "B\r\n";
  ASSERT_TRUE(writer.replace("metadata.txt", a));
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, bad{0};
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
  ASSERT_TRUE(!kRoot || ::chown("traffic.txt", kNobody, kNobody) == 0);  // root keeps it nobody's
  const auto kept = identity("traffic.txt", false);
  ASSERT_TRUE(writer.replace("traffic.txt", " 1 \r\n"));
  EXPECT_EQ(readFile("traffic.txt"), " 1 \r\n");
  EXPECT_EQ(identity("traffic.txt", false), kept);

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

TEST_F(FileWriterTest, ReportsAnOutageAndItsEnd) {
  AtomicFileWriter writer("missing-folder");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(writer.replace("traffic.txt", " 0 \r\n"));
  fs::create_directory("missing-folder");
  EXPECT_TRUE(writer.replace("traffic.txt", " 1 \r\n"));
  fs::create_symlink("/dev/full", "missing-folder/metadata.txt");  // a device that takes nothing
  EXPECT_FALSE(writer.replace("metadata.txt", "Jazz\r\n"));
  EXPECT_EQ(writer.health().at("traffic.txt").failures, 1);
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string path = (folder / "missing-folder/traffic.txt").string();
  EXPECT_NE(err.find("cannot write " + path + " (No such file or directory)"), std::string::npos) << err;
  EXPECT_NE(err.find("writing " + path + " works again"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
}

// Where a new file would not be the same, traffic.txt is written in place, with one stderr
// line saying why; where neither way works, each write fails, with one line.
TEST_F(FileWriterTest, WritesInPlaceWhereANewFileWouldNotBeTheSame) {
  const struct {
    const char* what;
    mode_t type, mode, folderMode;
    gid_t gid;           // as root; the group case needs root
    const char* link;    // another hard link made to it
    const char* seenIn;  // the name showing the new content; "" a reader of the FIFO
    const char* reason;  // on stderr
  } rows[] = {
      {"folder not writable", S_IFREG, 0640, 0555, kNobody, nullptr, "traffic.txt", "made beside it"},
      {"FIFO with a reader", S_IFIFO, 0620, 0755, kNobody, nullptr, "", "not a regular file"},
      {"FIFO without a reader", S_IFIFO, 0620, 0755, kNobody, nullptr, nullptr, "(No such device"},
      {"hard link", S_IFREG, 0640, 0755, kNobody, "also.txt", "also.txt", "other hard links"},
      {"web server's group", S_IFREG, 0640, 0755, 0, nullptr, "traffic.txt", "owner and group"},
      {"file read-only", S_IFREG, 0444, 0755, kNobody, nullptr, nullptr, "(Permission denied)"},
      {"directory", S_IFDIR, 0755, 0755, kNobody, nullptr, nullptr, "(Is a directory)"},
  };
  fs::permissions(folder, fs::perms(0711));
  for (const auto& row : rows) {
    if (!kRoot && row.gid != kNobody) continue;
    SCOPED_TRACE(row.what);
    const fs::path dir = row.what;
    const fs::path file = dir / "traffic.txt";
    fs::create_directory(dir);
    const char* name = file.c_str();
    ASSERT_EQ(row.type == S_IFDIR ? ::mkdir(name, row.mode) : ::mknod(name, row.type | row.mode, 0), 0);
    if (row.link) fs::create_hard_link(file, dir / row.link);
    ASSERT_TRUE(!kRoot || (::chown(name, kNobody, row.gid) | ::chown(dir.c_str(), kNobody, kNobody)) == 0);
    fs::permissions(dir, fs::perms(row.folderMode));
    const int reader = row.seenIn && !*row.seenIn ? ::open(name, O_RDONLY | O_NONBLOCK) : -1;
    const auto before = std::pair(identity(file), filesIn(dir));
    testing::internal::CaptureStderr();
    const int written = runUnprivileged([&] {
      AtomicFileWriter writer(dir.string());
      return writer.replace("traffic.txt", " 0 \r\n") + writer.replace("traffic.txt", " 1 \r\n");
    });
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, row.seenIn ? 2 : 0);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(row.seenIn ? "written in place: " : "cannot write "), std::string::npos) << err;
    EXPECT_NE(err.find(row.reason), std::string::npos) << err;
    EXPECT_EQ(std::pair(identity(file), filesIn(dir)), before);
    std::string seen(64, '\0');
    seen.resize(reader < 0 ? 0 : std::max<ssize_t>(0, ::read(reader, seen.data(), seen.size())));
    if (row.seenIn && *row.seenIn) seen = readFile(dir / row.seenIn);
    EXPECT_EQ(seen, !row.seenIn ? "" : *row.seenIn ? " 1 \r\n" : " 0 \r\n 1 \r\n");
    if (reader >= 0) ::close(reader);
    fs::permissions(dir, fs::perms::owner_all);  // so that the folder can be removed
  }
}

}  // namespace
}  // namespace tallowmere::test
