#pragma once

#include <string>
#include <string_view>

namespace tallowmere {

// The three things the core reaches outside itself through: the receiver's serial
// port, the window's timers and the output files. The monitor implements them on Qt,
// the replay driver and the tests with plain objects.

// The serial line to the receiver, always "115200,N,8,1".
class ReceiverPort {
 public:
  virtual ~ReceiverPort() = default;
  // Opens the device and keeps it open (or keeps trying) for the rest of the run.
  virtual void open(const std::string& device) = 0;
  // Sends one command line, CR LF included; the caller neither waits nor reads a result.
  virtual void write(std::string_view line) = 0;
};

enum class TimerId { tmrSetFreqAtStart, tmrRSSI, tmrWriteMetadata };
inline constexpr int kTimerCount = 3;

class TimerService {
 public:
  virtual ~TimerService() = default;
  // Starting a timer makes it tick one interval from now, then once per interval.
  virtual void start(TimerId id, int intervalMs) = 0;
  virtual void stop(TimerId id) = 0;
};

// Replaces a whole output file in the working folder with new content.
class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // Returns false when the file could not be written; the writer has reported why.
  virtual bool replace(std::string_view name, std::string_view content) = 0;
};

}  // namespace tallowmere
