#include "platform/SerialLink.h"

#include <QFileInfo>

#include "settings/Diagnostics.h"
#include "platform/DeviceProblem.h"

namespace tallowmere {
namespace {

constexpr int kReopenIntervalMs = 2000;
// A line without LF is handed over once the receiver has been quiet this long.
constexpr int kSilenceMs = 50;
// Chunks are handed over in runs of at most this long, so that clicks and timer ticks
// are served in between even when a backlog waits.
constexpr qint64 kDeliveryBudgetMs = 20;
constexpr qint64 kDropReportIntervalMs = 60 * 1000;

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

SerialLink::SerialLink(ReceiverEvents& events) : events_(events) {
  reopenTimer_.setInterval(kReopenIntervalMs);
  silenceTimer_.setSingleShot(true);
  silenceTimer_.setInterval(kSilenceMs);
  connect(&reopenTimer_, &QTimer::timeout, this, &SerialLink::tryOpen);
  connect(&silenceTimer_, &QTimer::timeout, this, &SerialLink::lineWentQuiet);
  connect(&port_, &QSerialPort::readyRead, this, &SerialLink::readArrived);
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::portFailed);
}

// QSerialPort names its lock file after the port name, so two monitors in two folders
// that both say "./receiver" would lock each other out: the name is made absolute.
bool SerialLink::open(const std::string& device) {
  device_ = toStd(QFileInfo(QString::fromLocal8Bit(device.c_str())).absoluteFilePath());
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

void SerialLink::readArrived() {
  const QByteArray bytes = port_.readAll();
  framer_.append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (framer_.hasPartial()) {
    silenceTimer_.start();
  } else {
    silenceTimer_.stop();
  }
  deliverChunks();
}

void SerialLink::lineWentQuiet() {
  if (framer_.flushPartial()) deliverChunks();
}

void SerialLink::deliverChunks() {
  deliveryQueued_ = false;
  reportDroppedChunks();
  if (!framer_.hasChunk()) return;
  QElapsedTimer run;
  run.start();
  while (framer_.hasChunk() && run.elapsed() < kDeliveryBudgetMs) {
    events_.chunkReceived(framer_.takeChunk());
  }
  events_.chunksDelivered();
  if (framer_.hasChunk() && !deliveryQueued_) {
    deliveryQueued_ = true;
    QTimer::singleShot(0, this, &SerialLink::deliverChunks);
  }
}

void SerialLink::reportDroppedChunks() {
  droppedSinceReport_ += framer_.takeDroppedCount();
  if (droppedSinceReport_ == 0) return;
  if (sinceDropReport_.isValid() && sinceDropReport_.elapsed() < kDropReportIntervalMs) return;
  reportProblem("receiver " + device_ + " sent more than could be decoded: " +
                std::to_string(droppedSinceReport_) + " lines dropped");
  droppedSinceReport_ = 0;
  sinceDropReport_.start();
}

// A pseudo-terminal whose other side has gone reports a read error over and over while
// it stays open, an unplugged USB adapter a resource error: either way the port is
// closed and tried again.
void SerialLink::portFailed(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port_.isOpen()) return;
  const std::string reason = describeFailure(error);
  silenceTimer_.stop();
  // What arrived before the failure is still the receiver's output.
  if (port_.bytesAvailable() > 0) {
    const QByteArray bytes = port_.readAll();
    framer_.append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
  framer_.flushPartial();
  deliverChunks();
  framer_.clear();
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
