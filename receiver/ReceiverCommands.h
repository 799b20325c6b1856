#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowmere {

// The receiver's command protocol: one line of ASCII text ended by CR LF each.
inline constexpr std::string_view SignalQuery = "i\r\n";
std::string TuneCommand(std::string_view frequencyDigits);
// The volume box's text as a command carries it: printable ASCII only, so that no typed
// or pasted text can put a second command on the line or a byte the receiver cannot read.
std::string volumeCommandText(std::string_view boxText);
std::string VolumeCommand(std::string_view volumeText);

// The band the receiver tunes, in MHz, both ends included.
inline constexpr int kLowestMhz = 87;
inline constexpr int kHighestMhz = 108;

// The frequency of a box's text in units of 10 kHz, as the receiver takes it ("8880" for
// 88.8 MHz), or nothing when the value lies outside the band. More than two decimals
// are rounded to the nearest 10 kHz, halves away from zero, so 87.555 gives 8756.
std::optional<std::string> frequencyDigits(std::string_view boxText);

// The frequency of tuning digits in MHz, as "104.6" or "107.95".
std::string frequencyText(std::string_view frequencyDigits);

// Whether a command text reads as a volume the receiver accepts (0 to 15).
bool isValidVolume(std::string_view boxText);

}  // namespace tallowmere
