#include "rds/Decoders.h"

namespace tallowmere {

void showGroupRecord(const GroupRecord& g, DisplayModel& w) {
  w.setText(Field::lblHEX, g.hex().substr(2));
  w.setText(Field::lblPI, g.blockA());
  w.setText(Field::lblGroup, g.groupType());
}

// A presence display, not a counter: a label lights with the first group of its type
// and stays lit until the next retune. A "?" version lights nothing.
void showGroupPresence(const GroupRecord& g, DisplayModel& w) {
  if (const auto index = g.presenceIndex()) {
    const Field label = groupLabel(*index);
    w.setBackground(label, colour::kGreen);
    w.setForeground(label, colour::kWhite);
  }
}

}  // namespace tallowmere
