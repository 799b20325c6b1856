#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace tallowmere {

// Cuts the receiver's byte stream into receive chunks, one line each: the bytes up to
// and including each LF are one chunk. Bytes without an LF wait for the caller to say
// that the line has gone quiet (flushPartial), or become a chunk of their own once they
// reach kMaxChunk. Chunks that wait for the decoder are bounded: past kMaxWaiting bytes
// the oldest whole chunks are dropped and counted.
class LineFramer {
 public:
  static constexpr std::size_t kMaxChunk = 64 * 1024;
  static constexpr std::size_t kMaxWaiting = 1024 * 1024;

  void append(std::string_view bytes);
  // Makes the bytes after the last LF a chunk of their own; true when there were any.
  bool flushPartial();

  bool hasChunk() const { return !chunks_.empty(); }
  bool hasPartial() const { return !partial_.empty(); }
  // Removes and returns the oldest waiting chunk.
  std::string takeChunk();

  // Chunks dropped since the last call.
  std::size_t takeDroppedCount();

 private:
  void push(std::string chunk);

  std::deque<std::string> chunks_;
  std::size_t waitingBytes_ = 0;
  std::string partial_;
  std::size_t dropped_ = 0;
};

}  // namespace tallowmere
