#include "receiver/LineFramer.h"

#include <utility>

namespace tallowmere {

void LineFramer::append(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    const std::size_t room = kMaxChunk - partial_.size();
    if (lf != std::string_view::npos && lf < room) {
      partial_.append(bytes.substr(0, lf + 1));
      bytes.remove_prefix(lf + 1);
      push(std::exchange(partial_, {}));
    } else if (bytes.size() >= room) {
      partial_.append(bytes.substr(0, room));
      bytes.remove_prefix(room);
      push(std::exchange(partial_, {}));
    } else {
      partial_.append(bytes);
      return;
    }
  }
}

bool LineFramer::flushPartial() {
  if (partial_.empty()) return false;
  push(std::exchange(partial_, {}));
  return true;
}

std::string LineFramer::takeChunk() {
  std::string chunk = std::move(chunks_.front());
  chunks_.pop_front();
  waitingBytes_ -= chunk.size();
  return chunk;
}

std::size_t LineFramer::takeDroppedCount() {
  return std::exchange(dropped_, 0);
}

void LineFramer::push(std::string chunk) {
  waitingBytes_ += chunk.size();
  chunks_.push_back(std::move(chunk));
  while (waitingBytes_ > kMaxWaiting) {
    waitingBytes_ -= chunks_.front().size();
    chunks_.pop_front();
    ++dropped_;
  }
}

}  // namespace tallowmere
