#include "platform/CommandRunner.h"

#include <signal.h>
#include <unistd.h>

#include "log/LogLine.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

constexpr std::size_t kOutputKept = 4096;

// The last line the command wrote that is not blank.
std::string lastLine(const std::string& output) {
  const std::size_t end = output.find_last_not_of("\r\n \t");
  if (end == std::string::npos) return {};
  const std::size_t start = output.find_last_of('\n', end);
  return output.substr(start == std::string::npos ? 0 : start + 1,
                       end + 1 - (start == std::string::npos ? 0 : start + 1));
}

}  // namespace

CommandRunner::CommandRunner(std::string program, double timeoutSeconds, std::string folder,
                             std::function<AlarmContext()> context)
    : program_(std::move(program)),
      timeoutMs_(static_cast<int>(timeoutSeconds * 1000)),
      folder_(std::move(folder)),
      context_(std::move(context)) {
  timeout_.setSingleShot(true);
  QObject::connect(&timeout_, &QTimer::timeout, [this] {
    if (!running_) return;
    killed_ = true;
    ::kill(-static_cast<pid_t>(running_->processId()), SIGKILL);
  });
}

CommandRunner::~CommandRunner() {
  if (!running_) return;
  running_->disconnect();
  ::kill(-static_cast<pid_t>(running_->processId()), SIGKILL);
  running_->waitForFinished(1000);
}

void CommandRunner::alarmChanged(const AlarmEvent& e) {
  const AlarmContext context = context_();
  const std::string state = e.raised ? "raised" : "cleared";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const auto set = [&env](const char* name, const std::string& value) {
    env.insert(QString::fromLatin1(name), QString::fromStdString(value));
  };
  set("TALLOWMERE_CHECK", std::string(checkName(e.check)));
  set("TALLOWMERE_STATE", state);
  set("TALLOWMERE_EXPECTED", e.expected);
  set("TALLOWMERE_RECEIVED", e.received);
  set("TALLOWMERE_TIME", timeStamp(e.time));
  set("TALLOWMERE_PI", context.pi);
  set("TALLOWMERE_PS", context.ps);
  set("TALLOWMERE_FREQUENCY", context.frequency);
  set("TALLOWMERE_FOLDER", folder_);
  set("TALLOWMERE_EVIDENCE", e.raised ? context.evidence : "");
  if (waiting_.size() == kMaxWaiting) {
    reportProblem("check command " + program_ + ": " + std::to_string(kMaxWaiting) +
                  " alarms wait already; " + waiting_.front().what + " is not passed on");
    waiting_.pop_front();
  }
  waiting_.push_back({env, "the " + std::string(checkName(e.check)) + " alarm (" + state + ")"});
  if (!running_) startNext();
}

void CommandRunner::startNext() {
  if (waiting_.empty()) return;
  Run run = std::move(waiting_.front());
  waiting_.pop_front();
  runningWhat_ = run.what;
  output_.clear();
  killed_ = false;
  running_ = std::make_unique<QProcess>();
  QProcess& p = *running_;
  p.setProgram(QString::fromStdString(program_));
  p.setProcessEnvironment(run.environment);
  p.setStandardInputFile(QProcess::nullDevice());
  p.setProcessChannelMode(QProcess::MergedChannels);
  // A group of its own, so that a timeout kills whatever it started too.
  p.setChildProcessModifier([] { ::setpgid(0, 0); });
  QObject::connect(&p, &QProcess::readyRead, [this] {
    output_ += running_->readAll().toStdString();
    if (output_.size() > kOutputKept) output_.erase(0, output_.size() - kOutputKept);
  });
  QObject::connect(&p, &QProcess::finished, [this](int exitCode, QProcess::ExitStatus status) {
    output_ += running_->readAll().toStdString();
    if (killed_) {
      ended("did not end within " + std::to_string(timeoutMs_ / 1000) + " s and was killed");
    } else if (status != QProcess::NormalExit) {
      ended("ended by a signal");
    } else if (exitCode != 0) {
      ended("exited with status " + std::to_string(exitCode));
    } else {
      ended({});
    }
  });
  QObject::connect(&p, &QProcess::errorOccurred, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart)
      ended("cannot be started (" + running_->errorString().toStdString() + ")");
  });
  p.start();
  timeout_.start(timeoutMs_);
}

void CommandRunner::ended(const std::string& problem) {
  timeout_.stop();
  if (!problem.empty()) {
    const std::string line = lastLine(output_);
    reportProblem("check command " + program_ + " " + problem + " for " + runningWhat_ +
                  (line.empty() ? "" : ": " + line));
  }
  // The process object may be in its own signal: it goes once control is back in the loop.
  running_.release()->deleteLater();
  startNext();
}

}  // namespace tallowmere
