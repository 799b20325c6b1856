#include "station/AfLists.h"

#include <algorithm>

namespace tallowmere {
namespace {

// AF codes: IEC 62106, 6.2.1.6 (tables 10 to 12).
constexpr unsigned kFirstCount = 224;  // 224 + n: a list of n frequencies follows
constexpr unsigned kLastCount = 249;
constexpr std::uint8_t kLfMfFollows = 250;
constexpr std::size_t kListsKept = 8;  // per leading frequency
constexpr int kCounted = 2;            // receptions alike

// Codes 1 to 204 are VHF frequencies; the filler 205 and the codes left unassigned are none.
bool isVhf(std::uint8_t code) {
  return code >= 1 && code <= 204;
}

int vhfKhz(std::uint8_t code) {
  return 87'500 + 100 * code;
}

// The code after 250: 1 to 15 long wave in 9 kHz steps from 153 kHz, 16 to 135 medium
// wave from 531 kHz.
std::optional<int> lfMfKhz(std::uint8_t code) {
  if (code >= 1 && code <= 15) return 153 + 9 * (code - 1);
  if (code >= 16 && code <= 135) return 531 + 9 * (code - 16);
  return std::nullopt;
}

// Method B: every pair after the count holds the frequency that followed the count.
bool isMethodB(const std::vector<std::uint8_t>& list) {
  if (list.size() < 3 || list.size() % 2 == 0 || !isVhf(list[0])) return false;
  for (std::size_t i = 1; i + 1 < list.size(); i += 2) {
    if (list[i] != list[0] && list[i + 1] != list[0]) return false;
  }
  return true;
}

void addOnce(std::vector<int>& to, int khz) {
  if (std::ranges::find(to, khz) == to.end()) to.push_back(khz);
}

}  // namespace

bool AfLists::receive(std::uint16_t blockC) {
  const auto first = static_cast<std::uint8_t>(blockC >> 8);
  const auto second = static_cast<std::uint8_t>(blockC & 0xFF);
  if (first < kFirstCount || first > kLastCount) {
    if (assembling_) {
      assembling_->push_back(first);
      assembling_->push_back(second);
    }
    return false;
  }
  bool changed = false;
  if (assembling_ && changesFact(*assembling_)) {
    auto assembled = assemble();
    changed = assembled != fact_;
    fact_ = std::move(assembled);
  }
  if (!assembling_) assembling_.emplace();
  assembling_->assign(1, second);
  return changed;
}

// Whether a whole list changes what counts: a method B list counted for the first time,
// or a counted method A list now heard more often than the one that leads.
bool AfLists::changesFact(const Codes& list) {
  if (list.empty() || !isVhf(list[0])) return false;
  auto& heard = heard_[list[0]];
  const auto it = std::ranges::find(heard, list, &Heard::codes);
  if (it == heard.end()) {
    if (heard.size() == kListsKept) heard.erase(std::ranges::min_element(heard, {}, &Heard::receptions));
    heard.push_back({list, 1});
    return false;
  }
  const int receptions = ++it->receptions;
  if (isMethodB(list)) return receptions == kCounted;
  if (leaderA_ == list) {
    leaderReceptions_ = receptions;
    return false;
  }
  if (receptions < kCounted || receptions <= leaderReceptions_) return false;
  leaderA_ = list;
  leaderReceptions_ = receptions;
  return true;
}

std::optional<AlternativeFrequencies> AfLists::assemble() const {
  AlternativeFrequencies af;
  for (const auto& [tuned, lists] : heard_) {
    AlternativeFrequencies::ListB b{vhfKhz(tuned), {}, {}};
    for (const auto& [list, receptions] : lists) {
      if (receptions < kCounted || !isMethodB(list)) continue;
      for (std::size_t i = 1; i + 1 < list.size(); i += 2) {
        const std::uint8_t other = list[i] == tuned ? list[i + 1] : list[i];
        if (!isVhf(other) || other == tuned) continue;
        // An ascending pair carries the same programme, a descending one a regional variant.
        addOnce(list[i] < list[i + 1] ? b.same : b.regional, vhfKhz(other));
      }
    }
    if (!b.same.empty() || !b.regional.empty()) af.lists.push_back(std::move(b));
  }
  if (!af.lists.empty()) {
    af.method = 'B';
    return af;
  }
  if (!leaderA_) return std::nullopt;
  const Codes& list = *leaderA_;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == kLfMfFollows && i + 1 < list.size()) {
      if (const auto khz = lfMfKhz(list[++i])) af.frequencies.push_back(*khz);
    } else if (isVhf(list[i])) {
      af.frequencies.push_back(vhfKhz(list[i]));
    }
  }
  return af;
}

}  // namespace tallowmere
