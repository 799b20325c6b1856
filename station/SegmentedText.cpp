#include "station/SegmentedText.h"

#include <algorithm>
#include <cassert>

namespace tallowmere {
namespace {

constexpr char kEndOfText = '\r';

std::string_view withoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

}  // namespace

bool sameTextIgnoringTrailingBlanks(std::string_view a, std::string_view b) {
  return withoutTrailingBlanks(a) == withoutTrailingBlanks(b);
}

SegmentedText::SegmentedText(std::size_t segments, std::size_t segmentLength, End end)
    : segmentLength_(segmentLength),
      end_(end),
      received_(segments * segmentLength, ' '),
      segments_(segments) {}

bool SegmentedText::receive(std::size_t segment, std::string_view characters) {
  assert(segment < segments_.size() && characters.size() == segmentLength_);
  const std::size_t at = segment * segmentLength_;
  Segment& state = segments_[segment];
  const bool alike =
      state != Segment::Missing && std::equal(characters.begin(), characters.end(), received_.begin() + at);
  if (alike && state == Segment::Counted) return false;  // a text on air repeats: nothing new
  if (alike) {
    state = Segment::Counted;
  } else {
    // Another text is on air: what counted so far must be heard again within it.
    if (state != Segment::Missing) {
      for (Segment& s : segments_) s = s == Segment::Missing ? Segment::Missing : Segment::Once;
    }
    received_.replace(at, segmentLength_, characters);
    state = Segment::Once;
  }
  wholeLength_ = measureWhole();
  if (!wholeLength_) return false;
  const std::string_view whole(received_.data(), *wholeLength_);
  if (fact_ && sameTextIgnoringTrailingBlanks(whole, *fact_)) return false;
  fact_ = std::string(whole);
  return true;
}

void SegmentedText::restart() {
  std::ranges::fill(segments_, Segment::Missing);
  wholeLength_.reset();
}

std::optional<std::size_t> SegmentedText::measureWhole() const {
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    if (segments_[i] != Segment::Counted) return std::nullopt;
    if (end_ == End::FullLength) continue;
    const std::size_t end = received_.find(kEndOfText, i * segmentLength_);
    if (end < (i + 1) * segmentLength_) return end;
  }
  return received_.size();
}

}  // namespace tallowmere
