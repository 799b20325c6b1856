#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tallowmere::test {

// Each test runs in a fresh empty folder of its own, as the monitor runs in its
// working folder; the folder is removed afterwards.
class InWorkingFolder : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void writeFile(const std::string& name, const std::string& content);
  static std::string readFile(const std::string& name);
  static void writeIni(const std::string& content) { writeFile("tallowmere.ini", content); }

  std::filesystem::path folder;

 private:
  std::filesystem::path previous_;
};

}  // namespace tallowmere::test
