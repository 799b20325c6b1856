#include "rds/Decoders.h"

namespace tallowmere {

// A traffic announcement is on while both the TP and the TA indicator are lit. The TA
// indicator already shows this group; the TP indicator still shows the previous group,
// so a change of TP takes effect one group later.
bool updateTrafficState(DecoderState& s, DisplayModel& w) {
  s.trafficState = w.isLit(Field::lblshowTP) && w.isLit(Field::lblShowTA) ? 1 : 0;
  const bool changed = s.trafficState != s.lastTrafficState;
  if (changed && s.trafficState == 0) {
    w.setText(Field::lblTraffic, "NORMAL BROADCAST");
    w.setBackground(Field::lblTraffic, colour::kGreen);
  } else if (changed) {
    w.setText(Field::lblTraffic, "TRAFFIC ANNOUNCEMENT");
    w.setBackground(Field::lblTraffic, colour::kRed);
  }
  s.lastTrafficState = s.trafficState;
  return changed;
}

void updateTmcAndTp(const GroupRecord& g, const GroupValues& v, DecoderState& s, DisplayModel& w) {
  if (g.groupType() == "3A" && g.blockD() == "CD46") s.tmcSeen = 1;  // the RDS-TMC application
  if (s.tmcSeen == 1) {
    w.light(Field::lblshowTMC);
  } else {
    w.darken(Field::lblshowTMC);
  }
  if (v.tpValue == '1') {
    w.light(Field::lblshowTP);
  } else {
    w.darken(Field::lblshowTP);
  }
}

}  // namespace tallowmere
