#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tallowmere {
namespace {

bool isIniBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isIniBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isIniBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Walks the lines of the text whatever their line ends.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}
  bool next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      line = rest_;
      rest_ = {};
      return true;
    }
    line = rest_.substr(0, end);
    const std::size_t skip = (rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n') ? 2 : 1;
    rest_.remove_prefix(end + skip);
    return true;
  }

 private:
  std::string_view rest_;
};

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trimBlanks(line.substr(1, close - 1));
}

std::string cleanValue(std::string_view raw) {
  std::string_view v = trimBlanks(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  if (v.size() > IniFile::kMaxValueLength) v = v.substr(0, IniFile::kMaxValueLength);
  return StripNulls(v);
}

}  // namespace

std::string StripNulls(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

IniFile IniFile::fromText(std::string text) {
  IniFile ini;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  ini.text_ = std::move(text);
  return ini;
}

IniFile IniFile::load(const std::string& path) {
  IniFile failed;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    failed.status_ = errno == ENOENT ? Status::Missing : Status::Unreadable;
    failed.problem_ = std::strerror(errno);
    return failed;
  }
  std::string text;
  char buffer[8192];
  while (text.size() <= kMaxFileSize) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failed.status_ = Status::Unreadable;
      failed.problem_ = std::strerror(errno);
      ::close(fd);
      return failed;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  const bool truncated = text.size() > kMaxFileSize;
  if (truncated) text.resize(kMaxFileSize);
  IniFile ini = fromText(std::move(text));
  ini.truncated_ = truncated;
  return ini;
}

bool IniFile::hasSection(std::string_view section) const {
  LineReader lines(text_);
  std::string_view line;
  while (lines.next(line)) {
    const auto name = sectionName(line);
    if (name && equalsIgnoringCase(*name, trimBlanks(section))) return true;
  }
  return false;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  LineReader lines(text_);
  std::string_view line;
  bool inSection = false;
  while (lines.next(line)) {
    if (const auto name = sectionName(line)) {
      if (inSection) return std::nullopt;  // only the first section of that name counts
      inSection = equalsIgnoringCase(*name, trimBlanks(section));
      continue;
    }
    if (!inSection) continue;
    const std::string_view content = trimBlanks(line);
    if (content.empty() || content.front() == ';') continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (equalsIgnoringCase(trimBlanks(line.substr(0, eq)), trimBlanks(key))) {
      return cleanValue(line.substr(eq + 1));
    }
  }
  return std::nullopt;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace tallowmere
