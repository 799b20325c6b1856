#include "display/Fields.h"

namespace tallowmere {
namespace {

using colour::kBlack;
using colour::kGrey;
using colour::kLightGrey;
using colour::kWhite;

constexpr std::optional<Rgb> kNoBackground = std::nullopt;

// clang-format off
constexpr Look kCaption{kWhite, kNoBackground, 975, true, Align::Left, Border::None, Face::Sans};
constexpr Look kCaptionRight{kWhite, kNoBackground, 975, true, Align::Right, Border::None, Face::Sans};
constexpr Look kSmallValue{kWhite, kBlack, 975, true, Align::Centre, Border::None, Face::Sans};
constexpr Look kLargeValue{kWhite, kBlack, 3000, true, Align::Centre, Border::Sunken, Face::Sans};
constexpr Look kFrequencyBox{kWhite, kBlack, 3000, true, Align::Centre, Border::Sunken, Face::Sans};
constexpr Look kVolumeBox{kWhite, kBlack, 1350, true, Align::Centre, Border::Sunken, Face::Sans};
constexpr Look kButton{kBlack, kNoBackground, 825, true, Align::Centre, Border::None, Face::Sans};
constexpr Look kTextLine{kWhite, kBlack, 1200, true, Align::Centre, Border::Single, Face::Sans};
constexpr Look kBanner{kWhite, kBlack, 1800, true, Align::Centre, Border::None, Face::Sans};
constexpr Look kBufferCaption{kWhite, kBlack, 975, true, Align::Left, Border::None, Face::Sans};
constexpr Look kBufferText{kGrey, kBlack, 975, true, Align::Left, Border::None, Face::Mono};
constexpr Look kHexLine{kWhite, kBlack, 975, true, Align::Left, Border::None, Face::Sans};
constexpr Look kCredit{kLightGrey, kNoBackground, 825, false, Align::Centre, Border::None, Face::Sans};

constexpr std::array<FieldDefinition, kFieldCount> kDefinitions{{
#define TALLOWMERE_FIELD_DEFINITION(name, kind, row, text, look, span) \
  {#name, FieldKind::kind, row, text, look, Span::span},
    TALLOWMERE_FIELDS(TALLOWMERE_FIELD_DEFINITION)
#undef TALLOWMERE_FIELD_DEFINITION
}};
// clang-format on

// groupLabel() counts the group-type labels as one run in the table: "0A" to "15A" in
// row 4, then "0B" to "15B" in row 5.
constexpr bool groupLabelsFollowEachOther() {
  for (int i = 0; i < kGroupLabelCount; ++i) {
    const std::string_view name = kDefinitions[static_cast<std::size_t>(groupLabel(i))].createdText;
    const int number = name.size() == 2 ? name[0] - '0' : 10 + name[1] - '0';
    const bool versionB = i >= kGroupLabelCount / 2;
    if (number != i % 16 || name.back() != (versionB ? 'B' : 'A') ||
        kDefinitions[static_cast<std::size_t>(groupLabel(i))].row != (versionB ? 5 : 4)) {
      return false;
    }
  }
  return true;
}
static_assert(groupLabelsFollowEachOther());

}  // namespace

const std::array<FieldDefinition, kFieldCount>& fieldDefinitions() {
  return kDefinitions;
}

}  // namespace tallowmere
