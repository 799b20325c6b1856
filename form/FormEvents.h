#pragma once

#include <string>
#include <string_view>

#include "rds/DecoderState.h"
#include "rds/GroupRecord.h"
#include "rds/StatusLine.h"
#include "settings/IniFile.h"

namespace tallowmere {

// Who sent a tuning or volume command.
enum class ChangeBy { StartUpTimer, Button, Reconnect, Remote };

// What the monitor starts with, as start-up read it.
struct StartInfo {
  std::string version;
  std::string folder;
  std::string device;
  std::string frequency;
};

// Hears what the form's handlers did, in the order they did it: the station model, the
// station log, the web server's counters and feeds. Every call does nothing unless
// overridden, so a listener takes only what it needs.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // Start-up is done; the settings as read.
  virtual void started(const IniFile& /*ini*/, const std::string& /*iniPath*/, const StartInfo& /*info*/) {}
  // A group line was decoded; the window's decoders have run.
  virtual void groupDecoded(const GroupRecord& /*g*/, const DecoderState& /*s*/) {}
  virtual void statusRead(const StatusReading& /*reading*/) {}
  // The signal poll went out, every 2 s: a listener's own periodic work.
  virtual void polled() {}
  // A tuning command was sent.
  virtual void tuned(std::string_view /*frequencyDigits*/, ChangeBy /*by*/) {}
  // The display was reset for a new station, whether or not a command went out.
  virtual void retuned() {}
  virtual void volumeSent(std::string_view /*volume*/, ChangeBy /*by*/) {}
  virtual void receiverConnected() {}
  virtual void receiverLost() {}
  // The traffic state shown changed: 0 none, 1 an announcement, 2 unknown.
  virtual void trafficChanged(int /*state*/) {}
  // A clean exit.
  virtual void stopping() {}
};

}  // namespace tallowmere
