#include "remote/TokenGuesses.h"

#include <algorithm>
#include <iterator>

namespace tallowmere {
namespace {

constexpr std::size_t kFewAddresses = 64;

}  // namespace

bool TokenGuesses::refused(const std::string& address, Clock::time_point now) const {
  const auto it = guessers_.find(address);
  return it != guessers_.end() && now < it->second.refusedUntil;
}

bool TokenGuesses::wrongToken(const std::string& address, Clock::time_point now) {
  if (guessers_.size() > std::max(kFewAddresses, 2 * sizeAfterForgetting_)) forgetOld(now);
  Guesser& g = guessers_[address];
  if (now < g.refusedUntil) return false;
  while (!g.wrong.empty() && now - g.wrong.front() >= kWindow) g.wrong.pop_front();
  g.wrong.push_back(now);
  if (g.wrong.size() < kMaxWrong) return false;
  g.wrong.clear();
  g.refusedUntil = now + kWindow;
  return true;
}

// Many addresses each guessing a little (an IPv6 network has plenty) cost memory for a
// minute at most.
void TokenGuesses::forgetOld(Clock::time_point now) {
  for (auto it = guessers_.begin(); it != guessers_.end();) {
    const Guesser& g = it->second;
    const bool old = now >= g.refusedUntil && (g.wrong.empty() || now - g.wrong.back() >= kWindow);
    it = old ? guessers_.erase(it) : std::next(it);
  }
  sizeAfterForgetting_ = guessers_.size();
}

}  // namespace tallowmere
