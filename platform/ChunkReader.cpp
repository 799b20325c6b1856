#include "platform/ChunkReader.h"

#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

constexpr int kSilenceMs = 50;
constexpr qint64 kDeliveryBudgetMs = 20;
constexpr qint64 kDropReportIntervalMs = 60 * 1000;

}  // namespace

ChunkReader::ChunkReader(QIODevice& device, ChunkSink& sink) : device_(device), sink_(sink) {
  silenceTimer_.setSingleShot(true);
  silenceTimer_.setInterval(kSilenceMs);
  connect(&silenceTimer_, &QTimer::timeout, this, &ChunkReader::lineWentQuiet);
  connect(&device_, &QIODevice::readyRead, this, &ChunkReader::readArrived);
}

void ChunkReader::readArrived() {
  readAvailable();
  if (framer_.hasPartial()) {
    silenceTimer_.start();
  } else {
    silenceTimer_.stop();
  }
  deliverChunks();
}

void ChunkReader::readAvailable() {
  const QByteArray bytes = device_.readAll();
  framer_.append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void ChunkReader::lineWentQuiet() {
  if (framer_.flushPartial()) deliverChunks();
}

void ChunkReader::deliverChunks() {
  deliveryQueued_ = false;
  reportDroppedLines(false);
  if (!framer_.hasChunk()) return;
  QElapsedTimer run;
  run.start();
  while (framer_.hasChunk() && run.elapsed() < kDeliveryBudgetMs) {
    sink_.chunkReceived(framer_.takeChunk());
  }
  sink_.chunksDelivered();
  if (framer_.hasChunk() && !deliveryQueued_) {
    deliveryQueued_ = true;
    QTimer::singleShot(0, this, &ChunkReader::deliverChunks);
  }
}

void ChunkReader::reportDroppedLines(bool evenWithinTheMinute) {
  droppedSinceReport_ += framer_.takeDroppedCount();
  if (droppedSinceReport_ == 0) return;
  if (!evenWithinTheMinute && sinceDropReport_.isValid() &&
      sinceDropReport_.elapsed() < kDropReportIntervalMs) {
    return;
  }
  reportProblem("receiver " + deviceName_ + " sent more than could be decoded: " +
                std::to_string(droppedSinceReport_) + " lines dropped");
  droppedSinceReport_ = 0;
  sinceDropReport_.start();
}

// What arrived before the failure is still the receiver's output, a line cut short by
// it included. The backlog is at most a mebibyte, so handing it over in one go holds the
// window up once, briefly.
void ChunkReader::deviceFailed() {
  silenceTimer_.stop();
  if (device_.bytesAvailable() > 0) readAvailable();
  framer_.flushPartial();
  reportDroppedLines(true);
  if (!framer_.hasChunk()) return;
  while (framer_.hasChunk()) sink_.chunkReceived(framer_.takeChunk());
  sink_.chunksDelivered();
}

}  // namespace tallowmere
