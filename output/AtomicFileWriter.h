#pragma once

#include <map>
#include <string>
#include <string_view>

#include "output/OutputFiles.h"

namespace tallowmere {

// How writing one output file fares.
struct FileHealth {
  bool writable = true;  // its last write succeeded
  long long failures = 0;
};

// Replaces output files so that a program polling them never sees an empty or half-written
// file: the content goes to a hidden temporary file in the same folder (its name begins
// with "." so "*.txt" does not match it), is flushed to disk, takes the old file's owner,
// group and permission bits and is renamed over the old file. A symbolic link is kept: the
// file it points to is replaced, in that file's own folder.
//
// Where a new file would not be the same file, the old one is written in place instead
// (truncated, then written), as a plain write would: a FIFO or device, a file with other
// hard links, a file whose owner and group a new file cannot get, a folder where no new
// file can be made or renamed. A reader can then see it empty for an instant; stderr says
// so once per file. A target that cannot be opened for writing is a failed write, as it
// would be for a plain write. A failed write leaves no temporary file, and gives one line
// on stderr per outage and one when writing works again.
class AtomicFileWriter : public OutputFiles {
 public:
  explicit AtomicFileWriter(std::string folder = ".");

  bool replace(std::string_view name, std::string_view content) override;

  // Every file written so far, by name.
  const std::map<std::string, FileHealth, std::less<>>& health() const { return health_; }

 private:
  // Says once per file name, and again when the reason changes, that it is written in place.
  void noteInPlace(std::string_view name, const std::string& path, const std::string& because);

  std::string folder_;
  std::map<std::string, FileHealth, std::less<>> health_;
  std::map<std::string, std::string> inPlace_;  // file name -> why it was last written in place
};

}  // namespace tallowmere
