#include "settings/ComPort.h"

#include <algorithm>

#include "settings/NumberText.h"

namespace tallowmere {
namespace {

// Blanks may stand around a port number, not inside it: "1 0" is no port.
std::optional<DecimalText> readPortNumber(std::string_view value) {
  const auto first = std::find_if_not(value.begin(), value.end(), isBlank);
  const auto last = std::find_if_not(value.rbegin(), value.rend(), isBlank).base();
  if (first >= last || std::any_of(first, last, isBlank)) return std::nullopt;
  return readWholeNumber(std::string_view(first, last));
}

}  // namespace

ComPortSetting deviceForComPort(std::string_view value) {
  if (const auto number = readPortNumber(value)) {
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
