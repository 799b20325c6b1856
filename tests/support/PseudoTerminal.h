#pragma once

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace tallowmere::test {

// A pseudo-terminal standing in for the receiver, raw (no echo, LF stays LF): the monitor opens
// its slave side through `link` (replaced), with `access` to the device; the test talks to the
// master side. Both sides close when it goes: the receiver is unplugged.
class PseudoTerminal {
 public:
  explicit PseudoTerminal(const std::filesystem::path& link,
                          std::filesystem::perms access = std::filesystem::perms(0666));
  ~PseudoTerminal() {
    for (int fd : {slave_, master_}) ::close(fd);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  void write(std::string_view bytes) const;
  // Holds the slave side exclusively, as a program that has the receiver open does.
  void holdExclusively() const { ::ioctl(slave_, TIOCEXCL); }
  const std::string& slavePath() const { return slavePath_; }
  // What the monitor has sent and nobody has read yet, waiting at most `wait` for it.
  std::string read(std::chrono::milliseconds wait) const;

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace tallowmere::test
