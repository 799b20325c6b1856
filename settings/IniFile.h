#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowmere {

// A read-only INI file, read the way the monitor has always read its settings:
// section and key names match without regard to letter case or surrounding blanks; the
// value is trimmed of blanks, loses one pair of enclosing quotation marks (" or ') and is
// cut to 119 characters; CR LF, LF and CR all end a line; a UTF-8 byte-order mark at the
// start is ignored; a line starting with ";" is a comment (there are no inline comments);
// only the first section of a name is read, and the first matching key in it.
class IniFile {
 public:
  enum class Status { Read, Missing, Unreadable };

  static constexpr std::size_t kMaxValueLength = 119;
  // A settings file is a few lines; more than this is read only up to here.
  static constexpr std::size_t kMaxFileSize = 1 << 20;

  static IniFile load(const std::string& path);
  static IniFile fromText(std::string text);

  Status status() const { return status_; }
  const std::string& problem() const { return problem_; }  // why it could not be read
  bool truncated() const { return truncated_; }

  bool hasSection(std::string_view section) const;
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

 private:
  Status status_ = Status::Read;
  std::string problem_;
  bool truncated_ = false;
  std::string text_;
};

// Whether two texts are equal but for the letter case of A-Z.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The part of a text before its first NUL character, or all of it.
std::string StripNulls(std::string_view text);

}  // namespace tallowmere
