#include "rds/Decoders.h"

namespace tallowmere {

// A traffic announcement is on while both the TP and the TA indicator are lit. The TA
// indicator already shows this group; the TP indicator still shows the previous group,
// so a change of TP takes effect one group later.
void updateTrafficState(const GroupRecord& g, const GroupValues& v, FormVariables& s,
                        DisplayModel& w, OutputFiles& files) {
  s.trafficState = w.isLit(Field::lblshowTP) && w.isLit(Field::lblShowTA) ? 1 : 0;
  if (s.trafficState != s.lastTrafficState) {
    if (s.trafficState == 0) {
      w.setText(Field::lblTraffic, "NORMAL BROADCAST");
      w.setBackground(Field::lblTraffic, colour::kGreen);
      s.pendingTrafficFile = " 0 \r\n";
    } else {
      w.setText(Field::lblTraffic, "TRAFFIC ANNOUNCEMENT");
      w.setBackground(Field::lblTraffic, colour::kRed);
      s.pendingTrafficFile = " 1 \r\n";
    }
  }
  s.lastTrafficState = s.trafficState;
  // A state that could not be written is tried again with every group until it is, so
  // the file never keeps a stale " 1 " after the announcement has ended.
  if (!s.pendingTrafficFile.empty() && files.replace("traffic.txt", s.pendingTrafficFile)) {
    s.pendingTrafficFile.clear();
  }

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
