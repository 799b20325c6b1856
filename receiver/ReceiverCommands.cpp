#include "receiver/ReceiverCommands.h"

#include "app/NumberText.h"

namespace tallowmere {

std::string TuneCommand(std::string_view frequencyDigits) {
  std::string line = "f";
  line.append(frequencyDigits);
  line.append("\r\n");
  return line;
}

std::string VolumeCommand(std::string_view volumeText) {
  std::string line = "v";
  for (char c : volumeText) {
    if (static_cast<unsigned char>(c) >= 32) line.push_back(c);
  }
  line.append("\r\n");
  return line;
}

std::optional<std::string> frequencyDigits(std::string_view boxText) {
  const DecimalText number = readLeadingNumber(boxText);
  const double mhz = number.value();
  if (mhz < 87.0 || mhz > 108.0) return std::nullopt;
  // Within the band the receiver's digits are the frequency in hundredths of a MHz: 88.8
  // is "8880", 100 is "10000", 107.95 is "10795".
  const auto tenKilohertz = roundToHundredths(number);
  if (!tenKilohertz) return std::nullopt;
  return std::to_string(*tenKilohertz);
}

bool isValidVolume(std::string_view boxText) {
  const double volume = readLeadingNumber(boxText).value();
  return volume >= 0.0 && volume <= 15.0;
}

}  // namespace tallowmere
