#pragma once

#include <optional>

namespace tallowmere {

// A value that noise must not make a fact: it counts once two successive receptions carry
// it alike, and stays until another value counts.
template <typename T>
class Confirmed {
 public:
  // One reception; true when the fact changed.
  bool receive(const T& value) {
    if (last_ != value) {
      last_ = value;
      return false;
    }
    if (fact_ == value) return false;
    fact_ = value;
    return true;
  }
  const std::optional<T>& fact() const { return fact_; }

 private:
  std::optional<T> last_;
  std::optional<T> fact_;
};

// Stores a fact when it differs from the one held; true when it changed.
template <typename T>
bool update(T& fact, const T& value) {
  if (fact == value) return false;
  fact = value;
  return true;
}

}  // namespace tallowmere
