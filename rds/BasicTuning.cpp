#include "rds/Decoders.h"
#include "rds/ProgrammeTypes.h"

namespace tallowmere {
namespace {

constexpr Field kDiFields[4] = {Field::lblDIdynPTY, Field::lblDIcomp, Field::lblDIhead, Field::lblDIstereo};

int bitValue(char bit) {
  return bit == '1' ? 1 : 0;
}

}  // namespace

// Block B carries, from its second digit on: version, TP, PTY (5 bits), TA (the A/B flag
// in other groups), MS, one DI bit and the segment address C1 C0.
void decodeBasicTuning(const GroupRecord& g, GroupValues& v, DecoderState& s, DisplayModel& w) {
  const bool group0 = g.groupType() == "0A" || g.groupType() == "0B";
  NibbleBits& bits = v.nibbles;

  bits.HexDigitToBits(g.hexAt(8));
  const std::string& tpCaption = w[Field::lblTP].text;
  v.tpValue = tpCaption.empty() ? '?' : tpCaption[0];
  if (group0) v.tpValue = bits.bit(2);
  w.setText(Field::lblTP, std::string_view(&v.tpValue, 1));
  const int ptyHigh = bitValue(bits.bit(3)) * 16 + bitValue(bits.bit(4)) * 8;

  bits.HexDigitToBits(g.hexAt(9));
  v.abFlag = bits.bit(4);
  const int ptyCode = ptyHigh + bitValue(bits.bit(1)) * 4 + bitValue(bits.bit(2)) * 2 + bitValue(bits.bit(3));

  // The TA state lives in the TA indicator: groups other than 0A/0B carry it over.
  bool taOn = w.isLit(Field::lblShowTA);
  if (group0) taOn = bits.bit(4) == '1';
  w.setForeground(Field::lblShowTA, taOn ? colour::kWhite : colour::kGrey);
  // TA without TP marks EON traffic information about another programme. The TP
  // indicator still shows the previous group's TP here.
  if (taOn && !w.isLit(Field::lblshowTP)) {
    w.light(Field::lblShowEON);
  } else {
    w.darken(Field::lblShowEON);
  }
  if (group0) w.setText(Field::lblPTY, programmeTypeCaption(ptyCode));

  bits.HexDigitToBits(g.hexAt(10));
  const int segment = bitValue(bits.bit(3)) * 2 + bitValue(bits.bit(4));
  if (group0) {
    const char ms = bits.bit(1);
    const char di = bits.bit(2);
    w.setText(Field::lblMS, std::string_view(&ms, 1));
    w.setText(kDiFields[segment], std::string_view(&di, 1));
    // A group whose blocks are not all hexadecimal has no PS characters to give.
    if (g.bytesBuilt) s.psBuffer.replace(2 * static_cast<std::size_t>(segment), 2, g.bytes().substr(7, 2));
  }
  w.setText(Field::lblPS, s.psBuffer);
}

}  // namespace tallowmere
