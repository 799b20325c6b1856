#include "app/ComPort.h"

#include "app/NumberText.h"

namespace tallowmere {

ComPortSetting deviceForComPort(std::string_view value) {
  if (const auto number = readWholeNumber(value)) {
    const auto port = roundHalfEvenToInt16(*number);
    if (!port) return {std::nullopt, "is outside the range of port numbers"};
    if (*port < 1) return {std::nullopt, "is not a port number (the first port is 1)"};
    return {"/dev/ttyS" + std::to_string(*port - 1), {}};
  }
  if (value.starts_with("/") || value.starts_with("./") || value.starts_with("../")) {
    return {std::string(value), {}};
  }
  if (value.empty()) return {std::nullopt, "is empty"};
  return {std::nullopt, "is neither a port number nor a device path (/..., ./... or ../...)"};
}

}  // namespace tallowmere
