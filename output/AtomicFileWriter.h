#pragma once

#include <set>
#include <string>
#include <string_view>

#include "output/OutputFiles.h"

namespace tallowmere {

// Replaces output files so that a program polling them never sees an empty or half-written
// file: the content goes to a hidden temporary file in the same folder (its name begins
// with "." so "*.txt" does not match it), is flushed to disk, takes the old file's
// permission bits and is renamed over the old file. A symbolic link is kept: the file it
// points to is replaced, in that file's own folder. A failed write leaves no temporary
// file, and gives one line on stderr per outage and one when writing works again.
class AtomicFileWriter : public OutputFiles {
 public:
  explicit AtomicFileWriter(std::string folder = ".");

  bool replace(std::string_view name, std::string_view content) override;

 private:
  std::string folder_;
  std::set<std::string, std::less<>> failing_;
};

}  // namespace tallowmere
