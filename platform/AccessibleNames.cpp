#include "platform/AccessibleNames.h"

#include <utility>

#include "platform/QtText.h"

namespace tallowmere {
namespace {

constexpr std::pair<Field, const char*> kValueNames[] = {
    {Field::lblPS, "Programme service name"},
    {Field::lblPI, "Programme identification"},
    {Field::txtFreq, "Frequency in MHz"},
    {Field::cmdSetFreq, "Change frequency"},
    {Field::lblRDScount, "RadioText groups received"},
    {Field::lblRadioText, "RadioText"},
    {Field::lblPTY, "Programme type"},
    {Field::lblTraffic, "Traffic announcement"},
    {Field::lblcapA, "RadioText buffer A caption"},
    {Field::lblRTA, "RadioText buffer A"},
    {Field::lblCapB, "RadioText buffer B caption"},
    {Field::lblRTB, "RadioText buffer B"},
    {Field::lblDIstereo, "Decoder information: stereo"},
    {Field::lblDIhead, "Decoder information: artificial head"},
    {Field::lblDIcomp, "Decoder information: compressed"},
    {Field::lblDIdynPTY, "Decoder information: dynamic programme type"},
    {Field::lblMS, "Music or speech"},
    {Field::lblTP, "Traffic programme flag"},
    {Field::lblHEX, "Last group in hexadecimal"},
    {Field::lblGroup, "Group type"},
    {Field::txtVol, "Volume"},
    {Field::cmdSetVolume, "Set volume"},
    {Field::lblRSSI, "Signal level"},
    {Field::lblStereo, "Stereo indicator"},
    {Field::lblCopyright, "Credit line"},
    {Field::lblClockTime, "Local clock time"},
    {Field::lblCToffset, "Local time offset"},
    {Field::lblUTCtime, "UTC time"},
    {Field::lblUTCdate, "UTC date"},
};

QString createdText(Field f) {
  return qtText(definitionOf(f).createdText);
}

}  // namespace

QString accessibleNameOf(Field f) {
  for (const auto& [field, name] : kValueNames) {
    if (field == f) return QString::fromLatin1(name);
  }
  const int row = definitionOf(f).row;
  if (row == 3) return createdText(f) + QStringLiteral(" indicator");
  if (row == 4 || row == 5) return QStringLiteral("Group ") + createdText(f) + QStringLiteral(" received");
  // Captions: their own words without the colon.
  QString caption = createdText(f);
  if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
  return caption;
}

}  // namespace tallowmere
