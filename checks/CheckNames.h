#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tallowmere {

// What the monitor checks the station and the receiver for, in the order they are shown.
enum class Check {
  pi,
  ps,
  pty,
  tp,
  ecc,
  af,
  tmc,
  announcement,
  radiotext,
  clock,
  group_rate,
  level,
  receiver,
  rds
};

inline constexpr std::size_t kCheckCount = 14;

// The names the log, the state JSON, the metrics and the command give them.
inline constexpr std::array<std::string_view, kCheckCount> kCheckNames = {
    "pi",           "ps",        "pty",   "tp",         "ecc",   "af",       "tmc",
    "announcement", "radiotext", "clock", "group_rate", "level", "receiver", "rds"};

constexpr std::string_view checkName(Check c) {
  return kCheckNames[static_cast<std::size_t>(c)];
}

}  // namespace tallowmere
