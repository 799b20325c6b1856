#pragma once

#include <string>
#include <string_view>

namespace tallowmere {

// Cuts the bytes from the monitor into command lines. CR LF ends a line, and so do CR
// or LF alone; the empty lines between them are dropped.
class CommandLines {
 public:
  template <typename OnLine>
  void feed(std::string_view bytes, OnLine onLine) {
    for (const char c : bytes) {
      if (c != '\r' && c != '\n') {
        if (partial_.size() < kLongest) partial_.push_back(c);
        continue;
      }
      if (!partial_.empty()) onLine(std::string_view(partial_));
      partial_.clear();
    }
  }
  void clear() { partial_.clear(); }

 private:
  static constexpr std::size_t kLongest = 256;  // a runaway line is cut, not hoarded
  std::string partial_;
};

}  // namespace tallowmere
