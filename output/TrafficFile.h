#pragma once

#include <string>

#include "output/OutputFiles.h"

namespace tallowmere {

// traffic.txt, read by traffic-announcement switchers: "?" while the state is unknown,
// " 0 " for normal broadcast, " 1 " during an announcement, each ended by CR LF. A
// content that could not be written stays pending until a retry writes it, so the file
// never keeps a stale " 1 " once the folder is writable again.
class TrafficFile {
 public:
  enum class Content { Unknown, Normal, Announcement };

  explicit TrafficFile(OutputFiles& files) : files_(files) {}

  void write(Content content);
  // Writes the pending content, if any.
  void retry();

 private:
  OutputFiles& files_;
  std::string pending_;
};

}  // namespace tallowmere
