#pragma once

#include <string>
#include <string_view>

#include "output/OutputFiles.h"

namespace tallowmere {

// The line nowplaying.txt takes for a running item: "ARTIST - TITLE", or the one of the two
// that is known, ended by CR LF; a bare CR LF for none.
std::string nowPlayingLine(std::string_view artist, std::string_view title);

// nowplaying.txt (the name the settings give), read by stream software for its metadata:
// the running item as one UTF-8 line ended by CR LF, replaced whole. Without a name it is
// off. A content that could not be written stays pending until a retry writes it.
class NowPlayingFile {
 public:
  explicit NowPlayingFile(OutputFiles& files) : files_(files) {}

  void setName(std::string name) { name_ = std::move(name); }
  bool on() const { return !name_.empty(); }
  void write(std::string line);
  // Writes the pending content, if any.
  void retry();

 private:
  OutputFiles& files_;
  std::string name_;
  std::string pending_;
};

}  // namespace tallowmere
