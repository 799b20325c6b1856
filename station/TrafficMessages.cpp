#include "station/TrafficMessages.h"

#include <algorithm>
#include <array>

namespace tallowmere {
namespace {

constexpr std::size_t kMessagesHeld = 1024;
constexpr std::size_t kHeardOnceHeld = 4096;
constexpr std::size_t kContentBitsPerGroup = 28;
constexpr unsigned kDurationLabel = 0;
constexpr unsigned kControlLabel = 1;
constexpr unsigned kDiversionControl = 5;  // control code: diversion advised
constexpr unsigned kDiversionRouteLabel = 10;

// Bits of each label of the optional content: ISO 14819-1, 7.5 (labels 0 to 15).
constexpr std::array<int, 16> kLabelBits = {3, 3, 5, 5, 5, 8, 8, 8, 8, 11, 16, 16, 16, 16, 0, 0};

// The optional content of a multi-group message, 28 bits from each of `groups` groups:
// label after label, until only the zero bits that fill the last group are left.
void readOptionalContent(const std::array<std::uint32_t, 4>& content, std::size_t groups,
                         TmcUserMessage& message) {
  const std::size_t size = groups * kContentBitsPerGroup;
  const auto bit = [&content](std::size_t i) {
    return (content[i / kContentBitsPerGroup] >> (kContentBitsPerGroup - 1 - i % kContentBitsPerGroup) &
            1u) != 0;
  };
  std::size_t at = 0;
  const auto read = [&bit, &at](std::size_t width) {
    unsigned value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 1 | (bit(at++) ? 1u : 0u);
    return value;
  };
  const auto restHasContent = [&] {
    for (std::size_t i = at; i < size; ++i) {
      if (bit(i)) return true;
    }
    return false;
  };
  while (at + 4 <= size && restHasContent()) {
    const unsigned label = read(4);
    const auto width = static_cast<std::size_t>(kLabelBits[label]);
    if (at + width > size) return;
    const unsigned value = read(width);
    if (label == kDurationLabel) message.duration = static_cast<int>(value);
    if ((label == kControlLabel && value == kDiversionControl) || label == kDiversionRouteLabel) {
      message.diversion = true;
    }
  }
}

}  // namespace

// Variant 0 (bits 15-14): the location table number (bits 11-6) and the scope (3-0);
// variant 1: the service id (bits 11-6).
bool TrafficMessages::systemInformation(std::uint16_t message, std::optional<TmcService>& fact) {
  const unsigned variant = bitsOf(message, 14, 2);
  bool changed = false;
  if (variant == 0) {
    changed = locationTable_.receive(static_cast<int>(bitsOf(message, 6, 6)));
    changed = scope_.receive(bitsOf(message, 0, 4)) || changed;
  } else if (variant == 1) {
    changed = serviceId_.receive(static_cast<int>(bitsOf(message, 6, 6)));
  }
  if (!changed) return false;
  if (!fact) fact.emplace();
  fact->locationTable = locationTable_.fact();
  fact->serviceId = serviceId_.fact();
  fact->scope = scope_.fact();
  return true;
}

// Block B: T (bit 4, tuning information when set), F (bit 3, a single-group message), then
// the duration (single group) or the continuity index (multi-group). A single group and
// the first of several carry in block C the diversion bit or the first-group flag (15),
// the direction (14), the extent (13-11) and the event (10-0), in block D the location.
bool TrafficMessages::receive(const Blocks& b, std::optional<TmcService>& fact) {
  if (bitOf(b[1], 4)) return false;
  TmcUserMessage message{static_cast<int>(bitsOf(b[2], 0, 11)),
                         b[3],
                         static_cast<int>(bitsOf(b[2], 11, 3)),
                         bitOf(b[2], 14),
                         std::nullopt,
                         false,
                         false};
  if (bitOf(b[1], 3)) {
    message.duration = static_cast<int>(bitsOf(b[1], 0, 3));
    message.diversion = bitOf(b[2], 15);
    return take(message, fact);
  }
  const int continuity = static_cast<int>(bitsOf(b[1], 0, 3));
  if (bitOf(b[2], 15)) {
    message.multiGroup = true;
    assembly_ = Assembly{continuity, message, -1, {}};
    return false;
  }
  bool counted = false;
  subsequent(b, continuity, fact, counted);
  return counted;
}

// A later group of a multi-group message: the second-group flag (block C bit 14), the
// group sequence id (13-12, the groups still to come) and 28 bits of optional content.
void TrafficMessages::subsequent(const Blocks& b, int continuity, std::optional<TmcService>& fact,
                                 bool& counted) {
  const bool second = bitOf(b[2], 14);
  const auto sequence = static_cast<int>(bitsOf(b[2], 12, 2));
  if (!assembly_ || assembly_->continuity != continuity || second != (assembly_->nextSequence < 0) ||
      (!second && sequence != assembly_->nextSequence) || assembly_->groups == assembly_->content.size()) {
    assembly_.reset();  // a group was missed: the message is lost
    return;
  }
  assembly_->content[assembly_->groups++] = bitsOf(b[2], 0, 12) << 16 | b[3];
  if (sequence > 0) {
    assembly_->nextSequence = sequence - 1;
    return;
  }
  TmcUserMessage message = assembly_->first;
  readOptionalContent(assembly_->content, assembly_->groups, message);
  assembly_.reset();
  counted = take(message, fact);
}

std::size_t TrafficMessages::Packed::operator()(const TmcUserMessage& m) const {
  const auto bits = static_cast<std::uint64_t>(m.event) << 32 | static_cast<std::uint64_t>(m.location) << 16 |
                    static_cast<std::uint64_t>(m.extent) << 8 |
                    static_cast<std::uint64_t>(m.duration.value_or(8)) << 4 |
                    (m.negativeDirection ? 4u : 0u) | (m.diversion ? 2u : 0u) | (m.multiGroup ? 1u : 0u);
  return std::hash<std::uint64_t>{}(bits);
}

// A message counts at its second reception alike; true when it is a new distinct one.
bool TrafficMessages::take(const TmcUserMessage& message, std::optional<TmcService>& fact) {
  if (heardOnce_.insert(message).second) {
    if (heardOnce_.size() > kHeardOnceHeld) heardOnce_ = {message};
    return false;
  }
  if (!fact) fact.emplace();
  const TmcService::Key key{message.location, message.event, message.negativeDirection, message.extent};
  const auto it = fact->messages.find(key);
  if (it != fact->messages.end()) {
    it->second = message;
    return false;
  }
  if (fact->messages.size() >= kMessagesHeld) return false;
  fact->messages.emplace(key, message);
  return true;
}

}  // namespace tallowmere
