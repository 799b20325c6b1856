#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <string>
#include <string_view>

#include "receiver/ReceiverPort.h"
#include "receiver/LineFramer.h"

namespace tallowmere {

// What the serial layer tells the monitor, always on the user-interface thread.
class ReceiverEvents {
 public:
  virtual ~ReceiverEvents() = default;
  virtual void chunkReceived(std::string_view chunk) = 0;
  // A run of chunks has been handed over; the window can catch up.
  virtual void chunksDelivered() = 0;
  virtual void receiverOpened() = 0;
  virtual void receiverClosed() = 0;
};

// The receiver's serial line, "115200,N,8,1", on QSerialPort. Received bytes become
// one receive chunk per line. A port that fails is closed, and a port that is not open
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
  void readArrived();
  void portFailed(QSerialPort::SerialPortError error);
  void lineWentQuiet();
  void deliverChunks();
  void reportDroppedChunks();

  ReceiverEvents& events_;
  QSerialPort port_;
  std::string device_;
  std::string lastProblem_;
  LineFramer framer_;
  QTimer reopenTimer_;
  QTimer silenceTimer_;
  QElapsedTimer sinceDropReport_;
  std::size_t droppedSinceReport_ = 0;
  bool deliveryQueued_ = false;
};

}  // namespace tallowmere
