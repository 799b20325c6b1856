#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowmere {

// The serial device that the INI key "COMport" names, or why it names none.
struct ComPortSetting {
  std::optional<std::string> device;
  std::string problem;
};

// A number (blanks around it ignored, halves rounded to even, within the 16-bit range) is a port
// number: N >= 1 is /dev/ttyS(N-1), the system's N-th serial port. A text beginning with
// "/", "./" or "../" names a device path (USB receivers, the simulated receiver).
ComPortSetting deviceForComPort(std::string_view value);

}  // namespace tallowmere
