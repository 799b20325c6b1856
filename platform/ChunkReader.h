#pragma once

#include <QElapsedTimer>
#include <QIODevice>
#include <QObject>
#include <QTimer>
#include <string>
#include <string_view>

#include "receiver/LineFramer.h"

namespace tallowmere {

// Where received chunks go, always on the user-interface thread.
class ChunkSink {
 public:
  virtual ~ChunkSink() = default;
  virtual void chunkReceived(std::string_view chunk) = 0;
  // A run of chunks has been handed over; the window can catch up.
  virtual void chunksDelivered() = 0;
};

// Reads the receiver's bytes from a device and hands them over one receive chunk per
// line. A line without LF is handed over once the line has been quiet for 50 ms. Chunks
// go out in runs of at most 20 ms, so that clicks and timer ticks are served in between
// even when a backlog waits; lines the backlog bound drops are reported at most once a
// minute on stderr.
class ChunkReader : public QObject {
 public:
  ChunkReader(QIODevice& device, ChunkSink& sink);

  // The device as the reports name it.
  void setDeviceName(std::string name) { deviceName_ = std::move(name); }
  // The device failed: everything it delivered is handed over at once, whatever the
  // budget, and lines dropped since the last report are reported now, so that the
  // receiver's loss comes after all of its output. Nothing is kept for the next opening.
  void deviceFailed();

 private:
  void readArrived();
  void readAvailable();
  void lineWentQuiet();
  void deliverChunks();
  void reportDroppedLines(bool evenWithinTheMinute);

  QIODevice& device_;
  ChunkSink& sink_;
  std::string deviceName_;
  LineFramer framer_;
  QTimer silenceTimer_;
  QElapsedTimer sinceDropReport_;
  std::size_t droppedSinceReport_ = 0;
  bool deliveryQueued_ = false;
};

}  // namespace tallowmere
