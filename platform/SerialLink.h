#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <string>
#include <string_view>

#include "platform/ChunkReader.h"
#include "receiver/ReceiverPort.h"

namespace tallowmere {

// What the serial layer tells the monitor, always on the user-interface thread.
class ReceiverEvents : public ChunkSink {
 public:
  virtual void receiverOpened() = 0;
  virtual void receiverClosed() = 0;
};

// The receiver's serial line, "115200,N,8,1", on QSerialPort; a ChunkReader makes its
// bytes receive chunks. A port that fails is closed, and a port that is not open
// is tried again every 2 s for the rest of the run; commands written meanwhile are
// dropped. Each change of state is one line on stderr naming the device.
class SerialLink : public QObject, public ReceiverPort {
 public:
  explicit SerialLink(ReceiverEvents& events);

  bool open(const std::string& device) override;
  void write(std::string_view line) override;

  bool isOpen() const { return port_.isOpen(); }

 private:
  void tryOpen();
  void portFailed(QSerialPort::SerialPortError error);

  ReceiverEvents& events_;
  QSerialPort port_;
  std::string device_;
  std::string lastProblem_;
  ChunkReader reader_;
  QTimer reopenTimer_;
};

}  // namespace tallowmere
