// One monitor per folder: a second monitor or a replay there writes nothing and ends with
// status 1; the folder of a holder killed with SIGKILL can be taken at once.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "tests/support/ChildProcess.h"
#include "tests/support/WorkingFolder.h"

namespace tallowmere::test {
namespace {

namespace fs = std::filesystem;
using FolderLockTest = InWorkingFolder;

TEST_F(FolderLockTest, ASecondProgramInTheFolderWritesNothingAndEndsWithStatus1) {
  // Each file's name, modification time and bytes: a rewrite, even with the same bytes, shows.
  const auto snapshot = [] {
    std::string all;
    for (const auto& f : fs::recursive_directory_iterator("."))
      if (f.is_regular_file() && !f.path().filename().string().starts_with("stderr-"))
        all += f.path().string() + std::to_string(f.last_write_time().time_since_epoch().count()) +
               readFile(f.path());
    return all;
  };
  writeIni(
      "[Tallowmere]\nFrequency=88.8\n[Web]\nListen=off\n");  // no receiver: quiet once the tune is logged
  ChildProcess first({MONITOR_BINARY});
  ASSERT_TRUE(eventually([&] { return snapshot().find(R"("event":"tune")") != std::string::npos; }))
      << first.errors();
  const std::string before = snapshot();
  const std::string inUse = "tallowmere: " + fs::current_path().string() + " is in use by process " +
                            std::to_string(first.pid()) + "\n";
  for (const auto& command : {std::vector<std::string>{MONITOR_BINARY}, {REPLAY_BINARY, "tallowmere.ini"}}) {
    const RunResult second = runToEnd(command);
    EXPECT_EQ(second.status, 1) << command[0];
    EXPECT_EQ(second.err, inUse) << command[0];
  }
  EXPECT_EQ(snapshot(), before);
  ::kill(first.pid(), SIGKILL);
  EXPECT_EQ(first.stop(), 128 + SIGKILL);
  EXPECT_EQ(runToEnd({REPLAY_BINARY, "tallowmere.ini"}).status, 0);  // no stale lock
}

}  // namespace
}  // namespace tallowmere::test
