#pragma once

#include "display/DisplayModel.h"
#include "rds/Conversions.h"
#include "rds/DecoderState.h"
#include "rds/GroupRecord.h"

namespace tallowmere {

// Values one group hands from decoder to decoder within its receive event.
struct GroupValues {
  NibbleBits nibbles;  // shared, so an unknown digit repeats the previous bits
  char abFlag = '\0';  // bit 4 of block B, for every group
  char tpValue = '?';  // the TP bit of this 0A/0B group, else what lblTP shows
};

// The decoders, run for every group line in this order; each is a function of the
// group and the window's state. Several read indicator colours that an earlier decoder,
// or the previous group, left behind.

// lblHEX, lblPI and lblGroup.
void showGroupRecord(const GroupRecord& g, DisplayModel& w);
// Lights the label of the group's type among the 32 presence labels.
void showGroupPresence(const GroupRecord& g, DisplayModel& w);
// 0A/0B: TP, PTY, TA, MS, DI and the PS name; the TA and EON indicators for every group.
void decodeBasicTuning(const GroupRecord& g, GroupValues& v, DecoderState& s, DisplayModel& w);
// 4A: the CT indicator and the (hidden) clock fields.
void decodeClockTime(const GroupRecord& g, GroupValues& v, DisplayModel& w);
// 2A: the two RadioText buffers, the count and the published text.
void decodeRadioText(const GroupRecord& g, const GroupValues& v, DecoderState& s, DisplayModel& w);
// The traffic state and its banner; true when the state shown changed.
bool updateTrafficState(DecoderState& s, DisplayModel& w);
// The TMC indicator, and the TP indicator that the next group's rules read.
void updateTmcAndTp(const GroupRecord& g, const GroupValues& v, DecoderState& s, DisplayModel& w);

}  // namespace tallowmere
