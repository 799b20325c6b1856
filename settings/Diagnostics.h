#pragma once

#include <string_view>

namespace tallowmere {

// What a stderr line is about, so that the station log can file it under its event.
enum class ProblemKind {
  Diagnostic,         // settings, dropped lines and anything else
  ReceiverConnected,  // the serial device opened
  ReceiverLost,       // the serial device failed and was closed
  FileFailed,         // an output file could not be written
  FileWorks,          // an output file that failed is written again
  LogFolder,          // the log's own trouble, which the log cannot hold
};

// Where every stderr line goes besides stderr: the station log.
class ProblemSink {
 public:
  virtual ~ProblemSink() = default;
  virtual void problemReported(ProblemKind kind, std::string_view line) = 0;
};

// Writes one line to stderr for the person running the monitor, and passes it on to the
// sink. The window itself never shows a message.
void reportProblem(std::string_view line, ProblemKind kind = ProblemKind::Diagnostic);

// The sink that gets every line from now on; null for none.
void setProblemSink(ProblemSink* sink);
ProblemSink* problemSink();

}  // namespace tallowmere
