#include "remote/RequestRules.h"

#include <charconv>

namespace tallowmere {
namespace {

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool readNumber(std::string_view& text, std::size_t digits, int& value) {
  if (text.size() < digits) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + digits, value);
  if (error != std::errc{} || end != text.data() + digits) return false;
  text.remove_prefix(digits);
  return true;
}

bool skip(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

std::optional<WallTime> readIsoTime(std::string_view text) {
  using namespace std::chrono;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  if (!readNumber(text, 4, y) || !skip(text, '-') || !readNumber(text, 2, mo) || !skip(text, '-') ||
      !readNumber(text, 2, d) || !skip(text, 'T') || !readNumber(text, 2, h) || !skip(text, ':') ||
      !readNumber(text, 2, mi) || !skip(text, ':') || !readNumber(text, 2, s)) {
    return std::nullopt;
  }
  if (skip(text, '.') && !readNumber(text, 3, ms)) return std::nullopt;
  if (!skip(text, 'Z') || !text.empty()) return std::nullopt;
  const year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!date.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;
  return sys_days{date} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms};
}

}  // namespace

std::string hostName(std::string_view hostHeader) {
  if (hostHeader.starts_with('[')) {
    const std::size_t close = hostHeader.find(']');
    return lowerCase(hostHeader.substr(1, close == std::string_view::npos ? close : close - 1));
  }
  return lowerCase(hostHeader.substr(0, hostHeader.find(':')));
}

bool isLoopbackAddress(std::string_view host) {
  return host == "::1" || host == "localhost" || host.starts_with("127.");
}

bool hostAllowed(std::string_view hostHeader, std::string_view listenHost) {
  if (hostHeader.empty() || !isLoopbackAddress(listenHost)) return true;
  const std::string name = hostName(hostHeader);
  return isLoopbackAddress(name) || name == lowerCase(listenHost);
}

bool originAllowed(std::optional<std::string_view> origin, std::string_view hostHeader) {
  if (!origin) return true;
  return lowerCase(*origin) == "http://" + lowerCase(hostHeader);
}

bool tokenMatches(std::string_view given, std::string_view expected) {
  unsigned difference = given.size() == expected.size() ? 0 : 1;
  for (std::size_t i = 0; i < given.size(); ++i) {
    difference |= static_cast<unsigned char>(given[i]) ^
                  static_cast<unsigned char>(expected.empty() ? 0 : expected[i % expected.size()]);
  }
  return difference == 0 && !expected.empty();
}

std::string_view bearerToken(std::string_view authorization) {
  constexpr std::string_view kScheme = "Bearer ";
  if (authorization.size() <= kScheme.size() ||
      lowerCase(authorization.substr(0, kScheme.size())) != "bearer ") {
    return {};
  }
  return authorization.substr(kScheme.size());
}

std::string_view cookieValue(std::string_view cookieHeader, std::string_view name) {
  while (!cookieHeader.empty()) {
    const std::size_t end = cookieHeader.find(';');
    std::string_view pair = cookieHeader.substr(0, end);
    while (pair.starts_with(' ')) pair.remove_prefix(1);
    if (pair.size() > name.size() && pair.starts_with(name) && pair[name.size()] == '=') {
      return pair.substr(name.size() + 1);
    }
    if (end == std::string_view::npos) break;
    cookieHeader.remove_prefix(end + 1);
  }
  return {};
}

std::optional<WallTime> readTime(std::string_view text) {
  long long seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  constexpr long long kYear5000 = 95'617'584'000;
  if (error == std::errc{} && end == text.data() + text.size() && seconds >= 0 && seconds < kYear5000) {
    return WallTime{std::chrono::seconds{seconds}};
  }
  return readIsoTime(text);
}

}  // namespace tallowmere
