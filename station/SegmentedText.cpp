#include "station/SegmentedText.h"

#include <algorithm>
#include <cassert>

#include "settings/TrailingBlanks.h"

namespace tallowmere {
namespace {

constexpr char kEndOfText = '\r';

}  // namespace

bool sameTextIgnoringTrailingBlanks(std::string_view a, std::string_view b) {
  return withoutTrailingBlanks(a) == withoutTrailingBlanks(b);
}

SegmentedText::SegmentedText(std::size_t segments, std::size_t segmentLength, End end)
    : segmentLength_(segmentLength), end_(end), segmentCount_(segments) {
  assert(segments * segmentLength <= kMaxLength && segments <= kMaxSegments);
  received_.fill(' ');
  segments_.fill(Segment::Missing);
}

bool SegmentedText::receive(std::size_t segment, std::string_view characters) {
  assert(segment < segmentCount_ && characters.size() == segmentLength_);
  const std::size_t at = segment * segmentLength_;
  Segment& state = segments_[segment];
  const bool alike =
      state != Segment::Missing &&
      std::equal(characters.begin(), characters.end(), received_.begin() + static_cast<std::ptrdiff_t>(at));
  if (alike && state == Segment::Counted) return false;  // a text on air repeats: nothing new
  if (alike) {
    state = Segment::Counted;
  } else {
    // Another text is on air: what counted so far must be heard again within it.
    if (state != Segment::Missing) {
      for (std::size_t i = 0; i < segmentCount_; ++i) {
        if (segments_[i] != Segment::Missing) segments_[i] = Segment::Once;
      }
    }
    std::ranges::copy(characters, received_.begin() + static_cast<std::ptrdiff_t>(at));
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
  segments_.fill(Segment::Missing);
  wholeLength_.reset();
}

std::optional<std::size_t> SegmentedText::measureWhole() const {
  for (std::size_t i = 0; i < segmentCount_; ++i) {
    if (segments_[i] != Segment::Counted) return std::nullopt;
    if (end_ == End::FullLength) continue;
    const auto from = received_.begin() + static_cast<std::ptrdiff_t>(i * segmentLength_);
    const auto end = std::find(from, from + static_cast<std::ptrdiff_t>(segmentLength_), kEndOfText);
    if (end != from + static_cast<std::ptrdiff_t>(segmentLength_))
      return static_cast<std::size_t>(end - received_.begin());
  }
  return segmentCount_ * segmentLength_;
}

}  // namespace tallowmere
