#include "receiver/ReceiverCommands.h"

#include "settings/NumberText.h"

namespace tallowmere {

std::string TuneCommand(std::string_view frequencyDigits) {
  std::string line = "f";
  line.append(frequencyDigits);
  line.append("\r\n");
  return line;
}

std::string volumeCommandText(std::string_view boxText) {
  std::string text;
  for (char c : boxText) {
    if (c >= ' ' && c <= '~') text.push_back(c);
  }
  return text;
}

std::string VolumeCommand(std::string_view volumeText) {
  std::string line = "v";
  line.append(volumeText);
  line.append("\r\n");
  return line;
}

std::optional<std::string> frequencyDigits(std::string_view boxText) {
  const DecimalText number = readLeadingNumber(boxText);
  const double mhz = number.value();
  if (mhz < kLowestMhz || mhz > kHighestMhz) return std::nullopt;
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

std::string frequencyText(std::string_view digits) {
  const long long hundredths = std::stoll(std::string(digits));
  std::string text = std::to_string(hundredths / 100) + "." + std::to_string(hundredths / 10 % 10);
  if (hundredths % 10 != 0) text += std::to_string(hundredths % 10);
  return text;
}

}  // namespace tallowmere
