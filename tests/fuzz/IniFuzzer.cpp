// Reads any file content as the settings file: nothing crashes, values stay bounded and
// hold no NUL, and the COMport rule gives a device or a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ComPort.h"
#include "settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tallowmere;
  const IniFile ini = IniFile::fromText(std::string(reinterpret_cast<const char*>(data), size));
  for (const char* key : {"COMport", "Frequency"}) {
    const auto value = ini.value("Tallowmere", key);
    if (!value) continue;
    if (value->size() > IniFile::kMaxValueLength || value->find('\0') != std::string::npos) std::abort();
    const ComPortSetting port = deviceForComPort(*value);
    if (port.device.has_value() == !port.problem.empty()) std::abort();
  }
  return 0;
}
