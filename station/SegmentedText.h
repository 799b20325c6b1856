#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallowmere {

// A text a station sends in segments (the PS name, a RadioText), confirmed so that noise
// and a change on air never give a mixture: a segment counts when its last two receptions
// are alike; a segment that arrives with other characters marks a new text, whose other
// segments must each come again before they count. The text is whole when every segment up
// to its end (a CR where the text may end early, else its full length) counts; the fact is the last text that
// was whole, and it changes only when a whole text differs from it other than in trailing blanks.
class SegmentedText {
 public:
  enum class End { FullLength, CarriageReturn };
  SegmentedText(std::size_t segments, std::size_t segmentLength, End end);

  // One segment as received, of a segment address the text has and its length; true when
  // the fact changed. A segment that repeats what
  // counted already costs a comparison only.
  bool receive(std::size_t segment, std::string_view characters);
  // A new text announced (the A/B flag toggled): every segment must come again.
  void restart();
  const std::optional<std::string>& fact() const { return fact_; }
  // Whether the text on air is whole: every segment of it counts since it last changed.
  bool whole() const { return wholeLength_.has_value(); }

 private:
  enum class Segment { Missing, Once, Counted };
  // The length of the text on air when it is whole.
  std::optional<std::size_t> measureWhole() const;

  std::size_t segmentLength_;
  End end_;
  static constexpr std::size_t kMaxLength = 64;  // RadioText's; the other texts are shorter
  static constexpr std::size_t kMaxSegments = 16;
  std::array<char, kMaxLength> received_;  // the last reception of each segment
  std::size_t segmentCount_;
  std::array<Segment, kMaxSegments> segments_;
  std::optional<std::string> fact_;
  std::optional<std::size_t> wholeLength_;  // measured at each reception that changed a segment
};

// Whether two texts are the same but for blanks at their ends.
bool sameTextIgnoringTrailingBlanks(std::string_view a, std::string_view b);

}  // namespace tallowmere
