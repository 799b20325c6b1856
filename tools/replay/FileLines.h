#pragma once

#include <string>
#include <string_view>

namespace tallowmere {

// Reads a file block by block and hands out its lines, each with its LF (the last one
// without, when the file does not end in LF), so a replay of any length runs in the same
// small memory.
class FileLines {
 public:
  explicit FileLines(const char* path);
  ~FileLines();
  FileLines(const FileLines&) = delete;
  FileLines& operator=(const FileLines&) = delete;

  bool opened() const { return fd_ >= 0; }
  const std::string& problem() const { return problem_; }  // why opening or reading failed
  // The next line, or false at the end of the file or on a read error.
  bool next(std::string_view& line);

 private:
  bool fill();

  int fd_ = -1;
  std::string problem_;
  std::string buffer_;
  std::size_t start_ = 0;
  bool atEnd_ = false;
};

}  // namespace tallowmere
