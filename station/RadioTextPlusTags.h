#pragma once

#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "station/Blocks.h"
#include "station/Confirmed.h"
#include "station/Station.h"

namespace tallowmere {

// The RadioText Plus groups (application 4BD7), confirmed: the item toggle and running
// bits, and each tag's place in the RadioText by its content type. A tag counts once two
// successive groups carry it alike; a toggled item forgets the tags of the one before.
class RadioTextPlusTags {
 public:
  // One RT+ group; true when the confirmed bits or tags changed.
  bool receive(const Blocks& b);
  // A new RadioText on air: the tags heard so far described the one before.
  void forgetTags() { tags_.clear(); }
  bool heard() const { return toggle_.fact().has_value(); }
  // The item with each tag cut from a confirmed RadioText; a tag beyond the text's end
  // is left out.
  RadioTextPlus cut(std::string_view text) const;

 private:
  using Place = std::pair<int, int>;  // start and length
  bool tag(int contentType, int start, int length);

  std::optional<bool> lastToggle_;
  Confirmed<bool> toggle_;
  Confirmed<bool> running_;
  std::map<int, Confirmed<Place>> tags_;  // by content type
};

}  // namespace tallowmere
