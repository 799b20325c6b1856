#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <unordered_map>

namespace tallowmere {

// Wrong tokens counted by the address they came from, so that a token cannot be guessed at
// the server's speed: after kMaxWrong requests with a wrong token from one address within
// a minute, every request from there that carries a token is refused for a minute. A
// request without a token is not counted: a browser that lost its cookie is no guesser.
class TokenGuesses {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t kMaxWrong = 10;
  static constexpr Clock::duration kWindow = std::chrono::minutes{1};

  // Whether a request from this address that carries a token is refused now.
  bool refused(const std::string& address, Clock::time_point now) const;
  // A request from this address carried a wrong token. True when this one closes the
  // address for a minute: the moment to say so, once per address and minute.
  bool wrongToken(const std::string& address, Clock::time_point now);

 private:
  struct Guesser {
    std::deque<Clock::time_point> wrong;  // within the last minute, at most kMaxWrong
    Clock::time_point refusedUntil;
  };
  void forgetOld(Clock::time_point now);

  std::unordered_map<std::string, Guesser> guessers_;
  std::size_t sizeAfterForgetting_ = 0;
};

}  // namespace tallowmere
