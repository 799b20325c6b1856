#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "display/Colour.h"

namespace tallowmere {

enum class FieldKind : std::uint8_t { Label, TextBox, Button };
enum class Align : std::uint8_t { Left, Centre, Right };
enum class Border : std::uint8_t { None, Single, Sunken };
enum class Face : std::uint8_t { Sans, Mono };
// How much of its row a field takes; the window's layout turns this into pixels.
enum class Span : std::uint8_t { Normal, Narrow, Wide, FillRow, FullWidth };

// The look a field is created with: colours, font and frame.
struct Look {
  Rgb foreground;
  std::optional<Rgb> background;  // none: the window's grey shows through
  int pointSizeHundredths;        // 975 is 9.75 pt
  bool bold;
  Align align;
  Border border;
  Face face;
};

// Every field of the window, row by row: name, kind, row, text when created, look, span.
// The names are the window's own, odd letter case included.
// clang-format off
#define TALLOWMERE_FIELDS(X)                                              \
  X(Label17, Label, 1, "PS:", kCaption, Normal)                           \
  X(Label18, Label, 1, "PI:", kCaption, Normal)                           \
  X(Label1, Label, 1, "SELECT FREQUENCY:", kCaption, Normal)              \
  X(lblPS, Label, 2, "NOPSNAME", kLargeValue, Wide)                       \
  X(lblPI, Label, 2, "FFFF", kLargeValue, Normal)                         \
  X(txtFreq, TextBox, 2, "888.8", kFrequencyBox, Normal)                  \
  X(cmdSetFreq, Button, 2, "CHANGE FREQ", kButton, Normal)                \
  X(lblShowTA, Label, 3, "TA", kSmallValue, Normal)                       \
  X(lblshowTP, Label, 3, "TP", kSmallValue, Normal)                       \
  X(lblShowEON, Label, 3, "EON", kSmallValue, Normal)                     \
  X(lblshowCT, Label, 3, "CT", kSmallValue, Normal)                       \
  X(lblshowTMC, Label, 3, "TMC", kSmallValue, Normal)                     \
  X(lblshowRT, Label, 3, "RT", kSmallValue, Normal)                       \
  X(lbl0A, Label, 4, "0A", kSmallValue, Normal)                           \
  X(lbl1A, Label, 4, "1A", kSmallValue, Normal)                           \
  X(lbl2A, Label, 4, "2A", kSmallValue, Normal)                           \
  X(lbl3A, Label, 4, "3A", kSmallValue, Normal)                           \
  X(lbl4A, Label, 4, "4A", kSmallValue, Normal)                           \
  X(lbl5A, Label, 4, "5A", kSmallValue, Normal)                           \
  X(lbl6A, Label, 4, "6A", kSmallValue, Normal)                           \
  X(lbl7A, Label, 4, "7A", kSmallValue, Normal)                           \
  X(lbl8A, Label, 4, "8A", kSmallValue, Normal)                           \
  X(lbl9A, Label, 4, "9A", kSmallValue, Normal)                           \
  X(lbl10A, Label, 4, "10A", kSmallValue, Normal)                         \
  X(lbl11A, Label, 4, "11A", kSmallValue, Normal)                         \
  X(lbl12A, Label, 4, "12A", kSmallValue, Normal)                         \
  X(lbl13A, Label, 4, "13A", kSmallValue, Normal)                         \
  X(lbl14A, Label, 4, "14A", kSmallValue, Normal)                         \
  X(lbl15A, Label, 4, "15A", kSmallValue, Normal)                         \
  X(lbl0b, Label, 5, "0B", kSmallValue, Normal)                           \
  X(lbl1B, Label, 5, "1B", kSmallValue, Normal)                           \
  X(lbl2B, Label, 5, "2B", kSmallValue, Normal)                           \
  X(lbl3b, Label, 5, "3B", kSmallValue, Normal)                           \
  X(lbl4B, Label, 5, "4B", kSmallValue, Normal)                           \
  X(lbl5B, Label, 5, "5B", kSmallValue, Normal)                           \
  X(lbl6B, Label, 5, "6B", kSmallValue, Normal)                           \
  X(lbl7B, Label, 5, "7B", kSmallValue, Normal)                           \
  X(lbl8B, Label, 5, "8B", kSmallValue, Normal)                           \
  X(lbl9B, Label, 5, "9B", kSmallValue, Normal)                           \
  X(lbl10B, Label, 5, "10B", kSmallValue, Normal)                         \
  X(lbl11B, Label, 5, "11B", kSmallValue, Normal)                         \
  X(lbl12b, Label, 5, "12B", kSmallValue, Normal)                         \
  X(lbl13b, Label, 5, "13B", kSmallValue, Normal)                         \
  X(lbl14b, Label, 5, "14B", kSmallValue, Normal)                         \
  X(lbl15b, Label, 5, "15B", kSmallValue, Normal)                         \
  X(Label4, Label, 6, "RADIOTEXT:", kCaption, Normal)                     \
  X(lblRDScount, Label, 6, "0", kCaptionRight, Normal)                    \
  X(lblRadioText, Label, 7, "NO RADIOTEXT", kTextLine, FullWidth)         \
  X(Label7, Label, 8, "PTY:", kCaption, Normal)                           \
  X(lblPTY, Label, 9, "NONE", kTextLine, FullWidth)                       \
  X(lblTraffic, Label, 10, "WAITING FOR RDS DATA", kBanner, FullWidth)    \
  X(lblcapA, Label, 11, "RT A:", kBufferCaption, Normal)                  \
  X(lblRTA, Label, 11, "", kBufferText, FillRow)                          \
  X(lblCapB, Label, 12, "RT B:", kBufferCaption, Normal)                  \
  X(lblRTB, Label, 12, "", kBufferText, FillRow)                          \
  X(Label9, Label, 13, "DI Stereo:", kCaption, Normal)                    \
  X(lblDIstereo, Label, 13, "?", kSmallValue, Normal)                     \
  X(Label11, Label, 13, "DI Artificial Head:", kCaption, Normal)          \
  X(lblDIhead, Label, 13, "?", kSmallValue, Normal)                       \
  X(Label12, Label, 13, "DI Compressed:", kCaption, Normal)               \
  X(lblDIcomp, Label, 13, "?", kSmallValue, Normal)                       \
  X(Label13, Label, 13, "DI Dynamic PTY:", kCaption, Normal)              \
  X(lblDIdynPTY, Label, 13, "?", kSmallValue, Normal)                     \
  X(Label14, Label, 13, "M/S:", kCaption, Normal)                         \
  X(lblMS, Label, 13, "?", kSmallValue, Normal)                           \
  X(Label2, Label, 13, "TP:", kCaption, Normal)                           \
  X(lblTP, Label, 13, "?", kSmallValue, Normal)                           \
  X(Label10, Label, 14, "HEX:", kCaption, Normal)                         \
  X(lblHEX, Label, 14, "WAITING", kHexLine, Wide)                         \
  X(Label8, Label, 14, "Group Type:", kCaption, Normal)                   \
  X(lblGroup, Label, 14, "00", kSmallValue, Normal)                       \
  X(txtVol, TextBox, 15, "8", kVolumeBox, Normal)                         \
  X(cmdSetVolume, Button, 15, "SET VOL", kButton, Normal)                 \
  X(lblRSSI, Label, 15, "RSSI: --", kBanner, Normal)                      \
  X(lblStereo, Label, 15, "STEREO", kBanner, Normal)                      \
  X(lblCopyright, Label, 16, "Tallowmere FM/RDS receiver monitor", kCredit, FullWidth) \
  X(Label3, Label, 17, "CT:", kCaption, Normal)                           \
  X(lblClockTime, Label, 18, "--:--", kLargeValue, Normal)                \
  X(Label6, Label, 17, "Offset:", kCaption, Normal)                       \
  X(lblCToffset, Label, 18, "-", kLargeValue, Narrow)                     \
  X(Label16, Label, 17, "UTC Time:", kCaption, Normal)                    \
  X(lblUTCtime, Label, 18, "--:--", kLargeValue, Normal)                  \
  X(Label19, Label, 17, "UTC Date:", kCaption, Normal)                    \
  X(lblUTCdate, Label, 18, "----------", kLargeValue, Wide)
// clang-format on

enum class Field : std::uint8_t {
#define TALLOWMERE_FIELD_ENUM(name, kind, row, text, look, span) name,
  TALLOWMERE_FIELDS(TALLOWMERE_FIELD_ENUM)
#undef TALLOWMERE_FIELD_ENUM
};

inline constexpr std::size_t kFieldCount = 0
#define TALLOWMERE_FIELD_COUNT(name, kind, row, text, look, span) +1
    TALLOWMERE_FIELDS(TALLOWMERE_FIELD_COUNT)
#undef TALLOWMERE_FIELD_COUNT
    ;

// What a field is when the window is created.
struct FieldDefinition {
  std::string_view name;
  FieldKind kind;
  int row;
  std::string_view createdText;
  Look look;
  Span span;
};

const std::array<FieldDefinition, kFieldCount>& fieldDefinitions();

inline const FieldDefinition& definitionOf(Field f) {
  return fieldDefinitions()[static_cast<std::size_t>(f)];
}
inline std::string_view nameOf(Field f) {
  return definitionOf(f).name;
}
std::optional<Field> fieldNamed(std::string_view name);

constexpr Field operator+(Field f, int offset) {
  return static_cast<Field>(static_cast<int>(f) + offset);
}

// The 32 group-type labels in the order the presence display and the resets walk them:
// "0A" to "15A", then "0B" to "15B".
inline constexpr Field kFirstGroupLabel = Field::lbl0A;
inline constexpr int kGroupLabelCount = 32;
inline constexpr Field groupLabel(int index) {
  return kFirstGroupLabel + index;
}

}  // namespace tallowmere
