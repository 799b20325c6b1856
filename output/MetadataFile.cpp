#include "output/MetadataFile.h"

namespace tallowmere {

std::optional<std::string> metadataLine(std::string_view radioText) {
  const std::size_t placeholder = radioText.find('_');
  if (placeholder != std::string_view::npos) {
    const std::size_t cr = radioText.find('\r');
    if (cr == std::string_view::npos || cr > placeholder) return std::nullopt;
    radioText = radioText.substr(0, cr);
  }
  std::string line(radioText);
  line.append("\r\n");
  return line;
}

void MetadataFile::publish(std::string_view radioText) {
  if (const auto line = metadataLine(radioText)) files_.replace("metadata.txt", *line);
}

}  // namespace tallowmere
