#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallowmere {

// Sends bytes to the pseudo-terminal without ever blocking: what the device does not
// take now waits for the next flush. Every byte it takes is also written to the record
// file, when there is one.
class LineWriter {
 public:
  LineWriter(int device, int record) : device_(device), record_(record) {}

  void send(std::string_view bytes) { pending_ += bytes; }
  bool idle() const { return pending_.empty(); }
  // Writes what the device takes; false when the device failed rather than being full.
  bool flush();
  // Forgets what was not sent, when nobody is there to read it.
  void discard() { pending_.clear(); }
  // From now on, the steady-clock time in nanoseconds at which each LF went into the
  // device is appended to into.
  void stampLineEnds(std::vector<std::int64_t>* into) { stamps_ = into; }

 private:
  void stamp(std::string_view written);

  int device_;
  int record_;
  std::string pending_;
  std::vector<std::int64_t>* stamps_ = nullptr;
};

}  // namespace tallowmere
