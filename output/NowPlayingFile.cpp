#include "output/NowPlayingFile.h"

namespace tallowmere {

std::string nowPlayingLine(std::string_view artist, std::string_view title) {
  std::string line(artist);
  if (!artist.empty() && !title.empty()) line += " - ";
  line.append(title);
  return line + "\r\n";
}

void NowPlayingFile::write(std::string line) {
  if (!on()) return;
  pending_ = std::move(line);
  retry();
}

void NowPlayingFile::retry() {
  if (!pending_.empty() && files_.replace(name_, pending_)) pending_.clear();
}

}  // namespace tallowmere
