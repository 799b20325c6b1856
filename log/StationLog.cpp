#include "log/StationLog.h"

#include "receiver/ReceiverCommands.h"
#include "settings/NumberText.h"

namespace tallowmere {
namespace {

constexpr int kMaxLogDays = 36500;

std::string_view byName(ChangeBy by) {
  switch (by) {
    case ChangeBy::StartUpTimer:
      return "start-up timer";
    case ChangeBy::Button:
      return "button";
    case ChangeBy::Reconnect:
      return "reconnect";
    case ChangeBy::Remote:
      return "web";
  }
  return {};
}

}  // namespace

void StationLog::groupDecoded(const GroupRecord& g, const DecoderState& s) {
  watcher_.groupDecoded(g, s);
  if (!writesFiles()) return;
  const WallTime now = clock_.now();
  evidence_.completeDue(now);
  evidence_.groupDecoded(now, g);
}

void StationLog::polled() {
  const WallTime now = clock_.now();
  removeExpiredOnNewDay(now);
  if (writesFiles()) evidence_.completeDue(now);
}

// A raised alarm names the file of the group lines before it.
void StationLog::alarmChanged(const AlarmEvent& e) {
  LogLine line(e.time, "alarm");
  line.text("check", checkName(e.check)).text("state", e.raised ? "raised" : "cleared");
  line.text("expected", e.expected).text("received", e.received);
  if (!e.raised) line.seconds("duration", e.durationSeconds);
  if (e.raised) lastEvidence_ = writesFiles() ? evidence_.alarmRaised(e.time, checkName(e.check)) : "";
  if (e.raised && !lastEvidence_.empty()) line.text("evidence", lastEvidence_);
  write(line);
}

void StationLog::maintenanceChanged(bool on) {
  write(LogLine(clock_.now(), "maintenance").text("state", on ? "start" : "end"));
}

int logDaysSetting(const IniFile& ini, const std::string& iniPath) {
  if (ini.status() != IniFile::Status::Read) return StationLog::kDefaultLogDays;
  const auto value = ini.value("Log", "LogDays");
  if (!value) return StationLog::kDefaultLogDays;
  const auto number = readWholeNumber(*value);
  const bool wholeDays = number && !number->negative &&
                         number->fractionDigits.find_first_not_of('0') == std::string::npos &&
                         number->integerDigits.size() <= 5;
  const int days = wholeDays ? std::stoi("0" + number->integerDigits) : -1;
  if (wholeDays && days <= kMaxLogDays) return days;
  reportProblem(iniPath + ": [Log] LogDays \"" + *value + "\" is not a number of days from 0 to " +
                std::to_string(kMaxLogDays) + "; the log keeps " +
                std::to_string(StationLog::kDefaultLogDays) + " days");
  return StationLog::kDefaultLogDays;
}

StationLog::StationLog(const WallClock& clock, std::string folder, bool removesOldFiles)
    : clock_(clock),
      files_(folder),
      evidence_(std::move(folder) + "/evidence"),
      watcher_(clock, [this](const LogLine& line) { write(line); }),
      removesOldFiles_(removesOldFiles) {
  setProblemSink(this);
}

StationLog::~StationLog() {
  if (problemSink() == this) setProblemSink(nullptr);
}

void StationLog::started(const IniFile& ini, const std::string& iniPath, const StartInfo& info) {
  logDays_ = logDaysSetting(ini, iniPath);
  // The lines reported during start-up follow the start line, in time order.
  const WallTime now = beforeStart_.empty() ? clock_.now() : beforeStart_.front().time();
  started_ = true;
  removeExpiredOnNewDay(now);
  write(LogLine(now, "start")
            .text("version", info.version)
            .text("folder", info.folder)
            .text("device", info.device)
            .text("frequency", info.frequency));
  for (const LogLine& line : beforeStart_) write(line);
  beforeStart_.clear();
}

void StationLog::stopping() {
  if (!started_ || stopped_) return;
  watcher_.endAnnouncement("monitor stopped");
  write(LogLine(clock_.now(), "stop"));
  stopped_ = true;
}

void StationLog::tuned(std::string_view frequencyDigits, ChangeBy by) {
  const std::string frequency = frequencyText(frequencyDigits);
  watcher_.tunedTo(frequency);
  write(LogLine(clock_.now(), "tune").text("frequency", frequency).text("by", byName(by)));
}

void StationLog::volumeSent(std::string_view volume, ChangeBy by) {
  write(LogLine(clock_.now(), "volume").text("volume", volume).text("by", byName(by)));
}

void StationLog::problemReported(ProblemKind kind, std::string_view text) {
  LogLine line(clock_.now(), "diagnostic");
  switch (kind) {
    case ProblemKind::LogFolder:
      return;
    case ProblemKind::ReceiverConnected:
    case ProblemKind::ReceiverLost:
      line = LogLine(clock_.now(), "receiver")
                 .text("state", kind == ProblemKind::ReceiverLost ? "lost" : "connected");
      break;
    case ProblemKind::FileFailed:
    case ProblemKind::FileWorks:
      line =
          LogLine(clock_.now(), "file").text("state", kind == ProblemKind::FileFailed ? "failed" : "works");
      break;
    case ProblemKind::Diagnostic:
      break;
  }
  line.text("text", text);
  if (started_) {
    write(line);
  } else {
    beforeStart_.push_back(line);
  }
}

void StationLog::write(const LogLine& line) {
  if (!started_ || stopped_) return;
  if (eventListener_) eventListener_(line);
  if (logDays_ == 0) return;
  removeExpiredOnNewDay(line.time());
  files_.append(line);
}

void StationLog::removeExpiredOnNewDay(WallTime now) {
  const auto today = std::chrono::floor<std::chrono::days>(now);
  if (!removesOldFiles_ || logDays_ == 0 || today == lastRemoval_) return;
  lastRemoval_ = today;
  files_.removeExpired(now, logDays_);
  evidence_.removeExpired(now, logDays_);
}

}  // namespace tallowmere
