#pragma once

#include <string>
#include <string_view>

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

 private:
  int device_;
  int record_;
  std::string pending_;
};

}  // namespace tallowmere
