#include "tools/replay/ReplayDriver.h"

#include "display/JsonDump.h"
#include "log/CoreListeners.h"
#include "remote/ChecksJson.h"
#include "station/StationJson.h"
#include "tools/replay/ScriptLine.h"

namespace tallowmere {

namespace {

constexpr auto kReplayStart = std::chrono::sys_days{std::chrono::year{2025} / 1 / 1};
constexpr std::chrono::microseconds kGroupInterval{87'700};

}  // namespace

ReplayDriver::ReplayDriver(std::FILE* out)
    : out_(out),
      wallClock_(kReplayStart),
      log_(wallClock_, "log", false),
      station_([this] { return std::chrono::duration<double>(wallClock_.now().time_since_epoch()).count(); }),
      checks_(
          station_, [this] { return wallClock_.now(); }, "maintenance"),
      form_(port_, timers_, files_) {
  connectCoreListeners(form_, station_, checks_, log_, nowPlaying_);
  form_.Form_Load();
  // A replay's receiver is always there.
  checks_.receiverConnected();
}

void ReplayDriver::receive(std::string_view chunk) {
  wallClock_.advance(kGroupInterval);
  form_.MSComm1_OnComm(chunk);
}

void ReplayDriver::tick(TimerId id) {
  wallClock_.advance(std::chrono::milliseconds(form_.timer(id).intervalMs));
  form_.onTimer(id);
}

std::string ReplayDriver::runScriptLine(std::string_view line) {
  ScriptLineResult parsed = parseScriptLine(line);
  if (!parsed.error.empty()) return parsed.error;
  struct Visitor {
    ReplayDriver& d;
    void operator()(const ReceiveChunk& e) { d.form_.MSComm1_OnComm(e.bytes); }
    void operator()(const TimerTick& e) { d.tick(e.timer); }
    void operator()(const TypeText& e) {
      d.form_.fields().setText(e.frequencyBox ? Field::txtFreq : Field::txtVol, e.text);
    }
    void operator()(const Click& e) {
      if (e.setFrequency) {
        d.form_.cmdSetFreq_Click();
      } else {
        d.form_.cmdSetVolume_Click();
      }
    }
    void operator()(const Dump&) { d.dump(); }
    void operator()(const BlankLine&) {}
  };
  std::visit(Visitor{*this}, parsed.event);
  return {};
}

void ReplayDriver::finish() {
  form_.tmrWriteMetadata_Timer();
  dump();
  form_.stop();
}

void ReplayDriver::dump() {
  // The display model's dump, with the station's facts beside it.
  std::string json = dumpJson(form_.fields(), port_.sent, form_.groupsDecoded());
  std::string station = ", \"station\": ";
  appendStationJson(station, station_.station());
  station += ", \"checks\": ";
  appendChecksJson(station, checks_);
  json.insert(json.size() - 2, station);
  std::fwrite(json.data(), 1, json.size(), out_);
  std::fflush(out_);
}

}  // namespace tallowmere
