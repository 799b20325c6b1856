#include <unistd.h>

#include <string>

#include "form/FrmMain.h"
#include "receiver/ReceiverCommands.h"
#include "settings/ComPort.h"
#include "settings/Diagnostics.h"
#include "settings/IniFile.h"

namespace tallowmere {
namespace {

constexpr std::string_view kIniSection = "Tallowmere";
constexpr std::string_view kCopyright = "Tallowmere FM/RDS receiver monitor v" TALLOWMERE_VERSION;

std::string currentDirectory() {
  std::string path(4096, '\0');
  if (::getcwd(path.data(), path.size()) == nullptr) return ".";
  path.resize(path.find('\0'));
  return path;
}

// Reads one key, saying on stderr what is missing; a missing file, section or key gives
// an empty value.
std::string readSetting(const IniFile& ini, const std::string& iniPath, std::string_view key,
                        std::string_view consequence) {
  if (ini.status() != IniFile::Status::Read) return {};
  if (auto value = ini.value(kIniSection, key)) return *value;
  if (ini.hasSection(kIniSection)) {
    reportProblem(iniPath + ": key \"" + std::string(key) + "\" is missing in [Tallowmere]; " +
                  std::string(consequence));
  }
  return {};
}

void reportUnusableIni(const IniFile& ini, const std::string& iniPath) {
  switch (ini.status()) {
    case IniFile::Status::Missing:
      reportProblem(iniPath + ": not found; no serial port is opened and the start-up frequency is empty");
      return;
    case IniFile::Status::Unreadable:
      reportProblem(iniPath + ": cannot be read (" + ini.problem() +
                    "); no serial port is opened and the start-up frequency is empty");
      return;
    case IniFile::Status::Read:
      if (ini.truncated()) {
        reportProblem(iniPath + ": larger than 1 MiB; only its first 1 MiB is read");
      }
      if (!ini.hasSection(kIniSection)) {
        reportProblem(iniPath +
                      ": has no [Tallowmere] section; no serial port is opened and the "
                      "start-up frequency is empty");
      }
      return;
  }
}

}  // namespace

void FrmMain::openReceiver(const std::string& iniPath, const std::string& iniComPort) {
  const ComPortSetting setting = deviceForComPort(iniComPort);
  if (!setting.device) {
    reportProblem(iniPath + ": COMport \"" + iniComPort + "\" " + setting.problem +
                  "; no serial port is opened");
    return;
  }
  device_ = *setting.device;
  if (port_.open(*setting.device)) connected_ = true;
}

void FrmMain::Form_Load() {
  tunedFlag_ = 'N';
  const std::string iniPath = currentDirectory() + "/tallowmere.ini";
  const IniFile ini = IniFile::load("tallowmere.ini");
  reportUnusableIni(ini, iniPath);
  const std::string iniComPort = readSetting(ini, iniPath, "COMport", "no serial port is opened");
  const std::string iniFrequency =
      readSetting(ini, iniPath, "Frequency", "the start-up tune will show INVALID");
  if (!iniFrequency.empty() && !frequencyDigits(iniFrequency)) {
    reportProblem("Frequency=" + iniFrequency + " is out of range: the receiver takes " +
                  std::to_string(kLowestMhz) + " to " + std::to_string(kHighestMhz) + " MHz");
  }

  for (Field f : {Field::lblClockTime, Field::lblCToffset, Field::lblUTCtime, Field::lblUTCdate,
                  Field::Label3, Field::Label6, Field::Label16, Field::Label19}) {
    fields_.setVisible(f, false);
  }
  decoder_ = DecoderState{};
  for (Field f :
       {Field::lblShowTA, Field::lblshowTP, Field::lblShowEON, Field::lblshowCT, Field::lblshowTMC}) {
    fields_.setVisible(f, true);
    fields_.darken(f);
  }
  for (int i = 0; i < kGroupLabelCount; ++i) fields_.darken(groupLabel(i));
  fields_.darken(Field::lblshowCT);
  fields_.darken(Field::lblshowRT);
  fields_.setText(Field::lblPI, "");
  fields_.setText(Field::lblPS, "INITIALISING");
  fields_.setText(Field::txtFreq, iniFrequency);
  fields_.setText(Field::lblClockTime, "--:--");
  fields_.setText(Field::lblTraffic, "WAITING FOR TRAFFIC FLAG STATUS");
  fields_.setBackground(Field::lblTraffic, colour::kBlack);
  fields_.setText(Field::lblCopyright, kCopyright);
  fields_.setBackground(Field::lblcapA, colour::kBlack);
  fields_.setBackground(Field::lblCapB, colour::kBlack);
  trafficFile_.write(TrafficFile::Content::Unknown);
  metadataFile_.clear();
  fields_.setText(Field::lblHEX, "WAITING");

  webSettings_ = tallowmere::webSettings(ini, iniPath);

  if (ini.status() == IniFile::Status::Read && ini.value(kIniSection, "COMport")) {
    openReceiver(iniPath, iniComPort);
  }

  const auto device = deviceForComPort(iniComPort).device;
  const StartInfo info{std::string(kProgramVersion), currentDirectory(), device ? *device : iniComPort,
                       iniFrequency};
  tell([&](FormEvents& l) { l.started(ini, iniPath, info); });

  // The timers created running begin to tick once start-up is done.
  for (TimerId id : {TimerId::tmrSetFreqAtStart, TimerId::tmrRSSI, TimerId::tmrWriteMetadata}) {
    if (timer(id).enabled) setTimerEnabled(id, true);
  }
}

}  // namespace tallowmere
