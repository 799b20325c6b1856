#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "station/Station.h"

namespace tallowmere {

// An AF code 1 to 204 as its frequency in kHz.
int vhfKhz(std::uint8_t code);
// A long or medium wave frequency in kHz, from the code after the LF/MF switch code.
std::optional<int> lfMfKhz(std::uint8_t code);

// The AF lists of 0A block C, assembled and confirmed. A list starts with a count code
// (224 to 249) and ends at the next count code, whatever its count says; it counts once two
// receptions of it agree, so a list cut short by a dropped group counts only if that
// happens twice alike.
class AfLists {
 public:
  // Block C of one 0A group; true when the fact changed.
  bool receive(std::uint16_t blockC);
  // A retune or a lost receiver: nothing heard before belongs to the station now on air.
  void reset() { *this = AfLists{}; }
  const std::optional<AlternativeFrequencies>& fact() const { return fact_; }

 private:
  using Codes = std::vector<std::uint8_t>;  // the codes after the count code, in the order sent
  bool counted(const Codes& list);
  std::optional<AlternativeFrequencies> assemble() const;

  std::optional<Codes> assembling_;
  std::map<std::uint8_t, std::vector<Codes>> heard_;    // once, by the code after the count
  std::map<std::uint8_t, std::vector<Codes>> counted_;  // twice alike, by that code
  std::optional<Codes> lastCountedA_;
  std::optional<AlternativeFrequencies> fact_;
};

}  // namespace tallowmere
