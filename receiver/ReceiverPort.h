#pragma once

#include <string>
#include <string_view>

namespace tallowmere {

// The serial line to the receiver, always "115200,N,8,1". The monitor implements it on
// Qt, the replay driver and the tests with plain objects.
class ReceiverPort {
 public:
  virtual ~ReceiverPort() = default;
  // Opens the device and keeps it open (or keeps trying) for the rest of the run; true
  // when it is open on return.
  virtual bool open(const std::string& device) = 0;
  // Sends one command line, CR LF included; the caller neither waits nor reads a result.
  virtual void write(std::string_view line) = 0;
};

}  // namespace tallowmere
