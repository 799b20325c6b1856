#include "form/FrmMain.h"
#include "rds/Decoders.h"
#include "rds/StatusLine.h"

namespace tallowmere {
namespace {

void showStatusLine(const StatusReading& reading, DisplayModel& w) {
  if (reading.stereo == StatusReading::Stereo::Stereo) {
    w.setForeground(Field::lblStereo, colour::kWhite);
    w.setBackground(Field::lblStereo, colour::kGreen);
  } else if (reading.stereo == StatusReading::Stereo::Mono) {
    w.setForeground(Field::lblStereo, colour::kDarkGrey);
    w.setBackground(Field::lblStereo, colour::kBlack);
  }
  if (reading.rssiFound) {
    std::string caption = "RSSI: ";
    caption.append(reading.rssiText, sizeof reading.rssiText);
    caption.append(" dBuV");
    w.setText(Field::lblRSSI, caption);
  }
}

}  // namespace

// One receive event. Until the first tuning command everything is read and dropped. A
// status line updates stereo/mono and the level; a group line that differs from the
// previous event's work text is decoded.
void FrmMain::MSComm1_OnComm(std::string_view rxText) {
  if (tunedFlag_ == 'N') return;
  if (isStatusLine(rxText)) {
    const StatusReading reading = readStatusLine(rxText);
    showStatusLine(reading, fields_);
    tell([&](FormEvents& l) { l.statusRead(reading); });
  }
  if (rxText.starts_with(">>> ") && rxText != lastChunk_) {
    processGroupLine(rxText);
    return;
  }
  lastChunk_.assign(rxText);
}

// Decodes one group line, in an order that matters: the TA, TP and EON rules read
// indicator colours that earlier steps or the previous group left behind.
void FrmMain::processGroupLine(std::string_view rxText) {
  ++groupsDecoded_;
  const GroupRecord g = cutGroupLine(rxText);
  GroupValues values;
  showGroupRecord(g, fields_);
  showGroupPresence(g, fields_);
  decodeBasicTuning(g, values, decoder_, fields_);
  decodeClockTime(g, values, fields_);
  decodeRadioText(g, values, decoder_, fields_);
  const bool trafficChanged = updateTrafficState(decoder_, fields_);
  if (trafficChanged) {
    trafficFile_.write(decoder_.trafficState == 1 ? TrafficFile::Content::Announcement
                                                  : TrafficFile::Content::Normal);
  } else {
    trafficFile_.retry();
  }
  updateTmcAndTp(g, values, decoder_, fields_);
  tell([&](FormEvents& l) { l.groupDecoded(g, decoder_); });
  if (trafficChanged) tell([this](FormEvents& l) { l.trafficChanged(decoder_.trafficState); });
  // A decoded line is remembered as its bytes, which begin with code 255 and so never
  // equal a later line: a repeated line is decoded again. A line that gave no bytes is
  // remembered as received, and the same line right after it is skipped.
  lastChunk_.assign(g.bytesBuilt ? g.bytes() : rxText);
}

}  // namespace tallowmere
