#include "station/OtherNetworks.h"

#include <algorithm>

namespace tallowmere {
namespace {

constexpr std::size_t kNetworksHeld = 48;
constexpr std::size_t kMappedHeld = 16;
// 14A variants: IEC 62106, 3.1.5.19.
constexpr unsigned kLastPsVariant = 3;
constexpr unsigned kAfVariant = 4;
constexpr unsigned kFirstMappedVariant = 5;
constexpr unsigned kMappedLfMfVariant = 9;
constexpr unsigned kLinkageVariant = 12;
constexpr unsigned kPtyTaVariant = 13;
constexpr unsigned kProgrammeItemVariant = 14;

// One reception into a network's fact; true when the fact changed.
template <typename T, typename V>
bool take(Confirmed<T>& confirmed, const V& value, std::optional<T>& fact) {
  return confirmed.receive(value) && update(fact, confirmed.fact());
}

std::vector<int> frequenciesOf(const AlternativeFrequencies& af) {
  if (af.method == 'A') return af.frequencies;
  std::vector<int> all;
  const auto add = [&all](int khz) {
    if (std::ranges::find(all, khz) == all.end()) all.push_back(khz);
  };
  for (const auto& list : af.lists) {
    add(list.tuned);
    std::ranges::for_each(list.same, add);
    std::ranges::for_each(list.regional, add);
  }
  return all;
}

}  // namespace

// Block D: the other network's PI; block B: its TP, and in 14A the variant, in 14B its TA.
bool OtherNetworks::receive(const Blocks& b, bool versionB) {
  Heard* n = network(b[3]);
  if (!n) return false;
  bool changed = take(n->tp, bitOf(b[1], 4), n->fact.tp);
  if (versionB) {
    changed = take(n->ta, bitOf(b[1], 3), n->fact.ta) || changed;
  } else {
    changed = variant(*n, bitsOf(b[1], 0, 4), b[2]) || changed;
  }
  return n->fact.ps && changed;
}

// Block C of 14A by variant: two PS characters (0 to 3), two AF codes (4), a mapped
// frequency pair (5 to 8 on VHF, 9 to long or medium wave), linkage (12), PTY and TA
// (13), the programme item number (14). True when the network's fact changed.
bool OtherNetworks::variant(Heard& n, unsigned variant, std::uint16_t blockC) {
  EonNetwork& f = n.fact;
  const auto high = static_cast<std::uint8_t>(blockC >> 8);
  const auto low = static_cast<std::uint8_t>(blockC & 0xFF);
  if (variant <= kLastPsVariant) {
    const std::string characters{static_cast<char>(high), static_cast<char>(low)};
    if (!n.ps.receive(variant, characters)) return false;
    f.ps = n.ps.fact();
    return true;
  }
  if (variant == kAfVariant) {
    return n.af.receive(blockC) && n.af.fact() && update(f.af, frequenciesOf(*n.af.fact()));
  }
  if (variant <= kMappedLfMfVariant) {
    Confirmed<std::uint16_t>& pair = n.mapped[variant - kFirstMappedVariant];
    const std::optional<int> other = variant == kMappedLfMfVariant ? lfMfKhz(low) : vhfKhz(low);
    if (!pair.receive(blockC) || high < 1 || high > 204 || !other ||
        (variant < kMappedLfMfVariant && low > 204)) {
      return false;
    }
    const MappedFrequency mapped{vhfKhz(high), *other};
    if (std::ranges::find(f.mapped, mapped) != f.mapped.end() || f.mapped.size() >= kMappedHeld) return false;
    f.mapped.insert(std::ranges::upper_bound(f.mapped, mapped), mapped);
    return true;
  }
  if (variant == kLinkageVariant) return take(n.linkage, blockC, f.linkage);
  if (variant == kPtyTaVariant) {
    const bool pty = take(n.pty, static_cast<int>(bitsOf(blockC, 11, 5)), f.pty);
    return take(n.ta, bitOf(blockC, 0), f.ta) || pty;
  }
  if (variant == kProgrammeItemVariant) {
    const ProgrammeItemNumber item{static_cast<int>(bitsOf(blockC, 11, 5)),
                                   static_cast<int>(bitsOf(blockC, 6, 5)),
                                   static_cast<int>(bitsOf(blockC, 0, 6))};
    if (item.hour > 23 || item.minute > 59 || !n.pin.receive(item)) return false;
    return update(f.pin, item.day == 0 ? std::nullopt : n.pin.fact());
  }
  return false;
}

// The network of a PI, heard for the first time if need be; when too many are held, one
// not listed gives way, and while every one is listed a new PI is not taken.
OtherNetworks::Heard* OtherNetworks::network(std::uint16_t pi) {
  if (const auto it = networks_.find(pi); it != networks_.end()) return &it->second;
  if (networks_.size() >= kNetworksHeld) {
    const auto unlisted = std::ranges::find_if(networks_, [](const auto& n) { return !n.second.fact.ps; });
    if (unlisted == networks_.end()) return nullptr;
    networks_.erase(unlisted);
  }
  Heard& n = networks_[pi];
  n.fact.pi = pi;
  return &n;
}

std::vector<EonNetwork> OtherNetworks::listed() const {
  std::vector<EonNetwork> listed;
  for (const auto& [pi, n] : networks_) {
    if (n.fact.ps) listed.push_back(n.fact);
  }
  return listed;
}

}  // namespace tallowmere
