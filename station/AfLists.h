#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "station/Station.h"

namespace tallowmere {

// The AF lists of 0A block C, assembled and confirmed. A list starts with a count code
// (224 to 249) and ends at the next count code, whatever its count says; it counts once two
// receptions of it agree. A dropped group cuts a list short or runs two together, and now
// and then the same way twice: method B takes the union of the counted lists, which such
// a list cannot widen, and method A the counted list heard most often.
class AfLists {
 public:
  // Block C of one 0A group; true when the fact changed.
  bool receive(std::uint16_t blockC);
  // A retune or a lost receiver: nothing heard before belongs to the station now on air.
  void reset() { *this = AfLists{}; }
  const std::optional<AlternativeFrequencies>& fact() const { return fact_; }

 private:
  using Codes = std::vector<std::uint8_t>;  // the codes after the count code, in the order sent
  struct Heard {
    Codes codes;
    int receptions = 0;
  };
  bool changesFact(const Codes& list);
  std::optional<AlternativeFrequencies> assemble() const;

  std::optional<Codes> assembling_;
  std::map<std::uint8_t, std::vector<Heard>> heard_;  // by the code after the count
  std::optional<Codes> leaderA_;                      // the method A list heard most often
  int leaderReceptions_ = 0;
  std::optional<AlternativeFrequencies> fact_;
};

}  // namespace tallowmere
