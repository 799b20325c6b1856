// Runs a fuzzing harness on its seed corpus and on every finding kept in the repository,
// so the ordinary tests hold the line on what fuzzing found.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(FuzzCorpus, EveryKeptInputRunsClean) {
  int inputs = 0;
  for (const char* dir : {CORPUS_DIR, FINDINGS_DIR}) {
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      SCOPED_TRACE(entry.path().string());
      EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()), 0);
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 0);
}
