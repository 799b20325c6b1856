#include <charconv>

#include "rds/Decoders.h"
#include "settings/HexDigit.h"

namespace tallowmere {
namespace {

constexpr int kPublishAfter = 30;  // groups with one A/B flag before the text is shown
constexpr std::int16_t kCountCeiling = 1000;

}  // namespace

void decodeRadioText(const GroupRecord& g, const GroupValues& v, DecoderState& s, DisplayModel& w) {
  if (g.groupType() == "2A") {
    w.light(Field::lblshowRT);
    const char flag = v.abFlag;
    // A new A/B flag starts a new text in the buffer of that flag.
    if (flag == '0' && s.lastAbFlag == '1') {
      s.rtGroupCount = 0;
      s.rtBufferA = kEmptyRadioText;
    }
    if (flag == '1' && s.lastAbFlag == '0') {
      s.rtGroupCount = 0;
      s.rtBufferB = kEmptyRadioText;
    }
    ++s.rtGroupCount;

    std::string* buffer = flag == '0' ? &s.rtBufferA : flag == '1' ? &s.rtBufferB : nullptr;
    const int segment = upperHexDigitValue(g.hexAt(10));  // the segment address 0 to 15
    // A group whose blocks are not all hexadecimal has no characters to give.
    if (buffer != nullptr && segment >= 0 && g.bytesBuilt) {
      buffer->replace(4 * static_cast<std::size_t>(segment), 4, g.bytes().substr(5, 4));
    }
    if (flag == '0' || flag == '1') {
      w.setBackground(Field::lblcapA, flag == '0' ? colour::kGreen : colour::kBlack);
      w.setBackground(Field::lblCapB, flag == '1' ? colour::kGreen : colour::kBlack);
    }
    s.lastAbFlag = flag;
    if (buffer != nullptr && s.rtGroupCount >= kPublishAfter) s.rtDisplayText = *buffer;
    if (s.rtGroupCount > kCountCeiling) s.rtGroupCount = kCountCeiling;

    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, s.rtGroupCount).ptr;
    w.setText(Field::lblRDScount, std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  w.setText(Field::lblRTA, s.rtBufferA);
  w.setText(Field::lblRTB, s.rtBufferB);
  w.setText(Field::lblRadioText, s.rtDisplayText);
}

}  // namespace tallowmere
