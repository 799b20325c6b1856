#include "output/TrafficFile.h"

namespace tallowmere {

void TrafficFile::write(Content content) {
  switch (content) {
    case Content::Unknown:
      pending_ = "?\r\n";
      break;
    case Content::Normal:
      pending_ = " 0 \r\n";
      break;
    case Content::Announcement:
      pending_ = " 1 \r\n";
      break;
  }
  retry();
}

void TrafficFile::retry() {
  if (!pending_.empty() && files_.replace("traffic.txt", pending_)) pending_.clear();
}

}  // namespace tallowmere
