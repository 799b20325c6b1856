#include "tests/support/WorkingFolder.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace tallowmere::test {

void InWorkingFolder::SetUp() {
  previous_ = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "tallowmere-test-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  folder = pattern;
  std::filesystem::current_path(folder);
}

void InWorkingFolder::TearDown() {
  std::filesystem::current_path(previous_);
  std::error_code ec;
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ec);
  std::filesystem::remove_all(folder, ec);
}

void InWorkingFolder::writeFile(const std::string& name, const std::string& content) {
  std::ofstream(name, std::ios::binary) << content;
}

std::string InWorkingFolder::readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tallowmere::test
