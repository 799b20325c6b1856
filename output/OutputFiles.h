#pragma once

#include <string_view>

namespace tallowmere {

// Replaces a whole output file in the working folder with new content.
class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // Returns false when the file could not be written; the writer has reported why.
  virtual bool replace(std::string_view name, std::string_view content) = 0;
};

}  // namespace tallowmere
