#include "platform/SerialLink.h"

#include <QFileInfo>

#include "platform/DeviceProblem.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

constexpr int kReopenIntervalMs = 2000;

std::string toStd(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

// QSerialPort's error text comes from whatever system call ran last, which after a
// hang-up is seldom the one that failed: the kind of error says more.
std::string describeFailure(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
      return "reading failed: the line hung up";
    case QSerialPort::WriteError:
      return "writing failed";
    case QSerialPort::ResourceError:
      return "the device was removed or became unavailable";
    default:
      return "port error " + std::to_string(static_cast<int>(error));
  }
}

}  // namespace

SerialLink::SerialLink(ReceiverEvents& events) : events_(events), reader_(port_, events) {
  reopenTimer_.setInterval(kReopenIntervalMs);
  connect(&reopenTimer_, &QTimer::timeout, this, &SerialLink::tryOpen);
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::portFailed);
}

// QSerialPort names its lock file after the port name, so two monitors in two folders
// that both say "./receiver" would lock each other out: the name is made absolute.
bool SerialLink::open(const std::string& device) {
  device_ = toStd(QFileInfo(QString::fromLocal8Bit(device.c_str())).absoluteFilePath());
  reader_.setDeviceName(device_);
  port_.setPortName(QString::fromStdString(device_));
  port_.setBaudRate(QSerialPort::Baud115200);
  port_.setParity(QSerialPort::NoParity);
  port_.setDataBits(QSerialPort::Data8);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  tryOpen();
  if (!port_.isOpen()) reopenTimer_.start();
  return port_.isOpen();
}

void SerialLink::write(std::string_view line) {
  if (!port_.isOpen()) return;
  port_.write(line.data(), static_cast<qint64>(line.size()));
}

void SerialLink::tryOpen() {
  if (port_.open(QIODevice::ReadWrite)) {
    reopenTimer_.stop();
    lastProblem_.clear();
    reportProblem("receiver " + device_ + " connected", ProblemKind::ReceiverConnected);
    events_.receiverOpened();
    return;
  }
  const std::string problem =
      describeOpenFailure(device_, port_.error() == QSerialPort::PermissionError, toStd(port_.errorString()));
  // Said once, and again only when the reason changes.
  if (problem != lastProblem_) {
    reportProblem("receiver " + device_ + " " + problem + "; trying again every 2 s");
    lastProblem_ = problem;
  }
  port_.clearError();
}

// A pseudo-terminal whose other side has gone reports a read error over and over while
// it stays open, an unplugged USB adapter a resource error: either way the port is
// closed and tried again.
void SerialLink::portFailed(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port_.isOpen()) return;
  const std::string reason = describeFailure(error);
  reader_.deviceFailed();
  port_.close();
  port_.clearError();
  reportProblem("receiver " + device_ + " lost (" + reason + "); trying to reopen it every 2 s",
                ProblemKind::ReceiverLost);
  // An unplugged device is missing until it comes back: that needs no line of its own.
  lastProblem_ = kDeviceMissing;
  events_.receiverClosed();
  reopenTimer_.start();
}

}  // namespace tallowmere
