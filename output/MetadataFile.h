#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "output/OutputFiles.h"

namespace tallowmere {

// The line metadata.txt takes for a published RadioText, or nothing while the text is
// incomplete (it holds a "_" placeholder). A station that ends a short text with CR never
// sends the segments behind it: such a text is complete up to its CR.
std::optional<std::string> metadataLine(std::string_view radioText);

// metadata.txt, read by playout systems and web feeds: the RadioText as one CR LF-ended
// line. It keeps its last content while the text is incomplete.
class MetadataFile {
 public:
  explicit MetadataFile(OutputFiles& files) : files_(files) {}

  void clear() { files_.replace("metadata.txt", "\r\n"); }
  void publish(std::string_view radioText);

 private:
  OutputFiles& files_;
};

}  // namespace tallowmere
