#pragma once

#include <string>

namespace tallowmere {

// The receiver's end of a pseudo-terminal. The device end is raw, so whoever opens it
// gets the bytes exactly as sent, without echo or line-end translation.
class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Empty on success, else why it failed.
  std::string open();
  int fd() const { return master_; }
  const std::string& device() const { return device_; }

  // Drops what the last opener of the device left unread, so the next one does not get
  // stale lines.
  void discardUnread() const;

 private:
  int master_ = -1;
  std::string device_;
};

}  // namespace tallowmere
