#pragma once

#include <QProcess>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "checks/CheckEvents.h"

namespace tallowmere {

// What the command hears of the station besides the alarm.
struct AlarmContext {
  std::string pi;
  std::string ps;
  std::string frequency;
  std::string evidence;  // the evidence file's path, at a raise
};

// Runs the [Checks] Command at every raised and cleared alarm: without a shell, in a
// process group of its own, standard input from /dev/null, the alarm in TALLOWMERE_*
// environment variables. One runs at a time, the next waiting in order (at most
// kMaxWaiting, the oldest dropped); a command still running after the timeout is killed
// with its whole group. It runs beside the event loop, so decoding never waits for it.
class CommandRunner : public CheckEvents {
 public:
  static constexpr std::size_t kMaxWaiting = 100;

  CommandRunner(std::string program, double timeoutSeconds, std::string folder,
                std::function<AlarmContext()> context);
  ~CommandRunner() override;
  CommandRunner(const CommandRunner&) = delete;
  CommandRunner& operator=(const CommandRunner&) = delete;

  void alarmChanged(const AlarmEvent& e) override;
  // Nothing running and nothing waiting.
  bool idle() const { return !running_ && waiting_.empty(); }

 private:
  struct Run {
    QProcessEnvironment environment;
    std::string what;  // "the pi alarm (raised)"
  };
  void startNext();
  void ended(const std::string& problem);

  std::string program_;
  int timeoutMs_;
  std::string folder_;
  std::function<AlarmContext()> context_;
  std::deque<Run> waiting_;
  std::unique_ptr<QProcess> running_;
  std::string runningWhat_;
  std::string output_;  // the last few KiB the command wrote
  QTimer timeout_;
  bool killed_ = false;
};

}  // namespace tallowmere
