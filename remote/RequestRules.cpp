#include "remote/RequestRules.h"

#include <algorithm>
#include <cctype>
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
  // 127.0.0.0/8 written as an address: "127.0.0.1.example.org" is a name anyone may own.
  const bool dottedQuad = host.find_first_not_of("0123456789.") == std::string_view::npos &&
                          std::count(host.begin(), host.end(), '.') == 3;
  return host == "::1" || host == "localhost" || (host.starts_with("127.") && dottedQuad);
}

bool hostAllowed(std::string_view hostHeader, std::string_view listenHost) {
  if (hostHeader.empty() || !isLoopbackAddress(listenHost)) return true;
  const std::string name = hostName(hostHeader);
  return isLoopbackAddress(name) || name == lowerCase(listenHost);
}

bool hostIsOwn(std::string_view hostHeader, const std::vector<std::string>& ownNames) {
  const std::string name = hostName(hostHeader);
  return hostHeader.empty() || isLoopbackAddress(name) ||
         std::find(ownNames.begin(), ownNames.end(), name) != ownNames.end();
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

std::string percentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned value = 0;
    if (text[i] == '%' && i + 3 <= text.size() &&
        std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr == text.data() + i + 3) {
      out.push_back(static_cast<char>(value));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string percentEncoded(std::string_view text) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
      out.push_back(c);
    } else {
      out += {'%', kHex[byte >> 4], kHex[byte & 0xF]};
    }
  }
  return out;
}

std::string_view targetPath(std::string_view target) {
  return target.substr(0, target.find('?'));
}

std::optional<std::string> queryValue(std::string_view target, std::string_view name) {
  const std::size_t question = target.find('?');
  if (question == std::string_view::npos) return std::nullopt;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    const std::size_t end = query.find('&');
    const std::string_view pair = query.substr(0, end);
    if (pair.size() >= name.size() && pair.starts_with(name) &&
        (pair.size() == name.size() || pair[name.size()] == '=')) {
      return percentDecoded(pair.substr(std::min(pair.size(), name.size() + 1)));
    }
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return std::nullopt;
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
