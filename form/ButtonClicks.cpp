#include "form/FrmMain.h"
#include "receiver/ReceiverCommands.h"

namespace tallowmere {

void FrmMain::cmdSetFreq_Click(ChangeBy by) {
  tune(by);
}

void FrmMain::cmdSetVolume_Click(ChangeBy by) {
  setVolume(by);
}

std::string FrmMain::tunedFrequency() const {
  return lastFrequencyDigits_.empty() ? std::string() : frequencyText(lastFrequencyDigits_);
}

// The last commands are kept for a receiver that is plugged in again.
void FrmMain::tune(ChangeBy by) {
  if (const auto digits = frequencyDigits(fields_[Field::txtFreq].text)) {
    port_.write(TuneCommand(*digits));
    lastFrequencyDigits_ = *digits;
    tell([&](FormEvents& l) { l.tuned(*digits, by); });
  } else {
    fields_.setText(Field::txtFreq, "INVALID");
  }
  ResetDisplayAfterTune();
}

void FrmMain::setVolume(ChangeBy by) {
  const std::string text = volumeCommandText(fields_[Field::txtVol].text);
  if (!isValidVolume(text)) {
    // Passing an out-of-range volume on to the receiver is not safe: reset the box only.
    fields_.setText(Field::txtVol, "8");
    return;
  }
  port_.write(VolumeCommand(text));
  lastVolumeText_ = text;
  tell([&](FormEvents& l) { l.volumeSent(text, by); });
}

// A retune forgets everything learnt about the previous station and opens the receive gate.
void FrmMain::ResetDisplayAfterTune() {
  for (int i = 0; i < kGroupLabelCount; ++i) fields_.darken(groupLabel(i));
  decoder_ = DecoderState{};
  for (Field f : {Field::lblShowEON, Field::lblshowCT, Field::lblshowTMC, Field::lblshowRT, Field::lblshowTP,
                  Field::lblShowTA}) {
    fields_.darken(f);
  }
  fields_.setText(Field::lblPI, "");
  fields_.setText(Field::lblPS, "");
  fields_.setText(Field::lblClockTime, "--:--");
  fields_.setText(Field::lblTraffic, "WAITING FOR TRAFFIC FLAG STATUS");
  fields_.setBackground(Field::lblTraffic, colour::kBlack);
  fields_.setBackground(Field::lblcapA, colour::kBlack);
  fields_.setBackground(Field::lblCapB, colour::kBlack);
  tunedFlag_ = 'Y';
  tell([](FormEvents& l) { l.retuned(); });
}

}  // namespace tallowmere
