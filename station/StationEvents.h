#pragma once

#include "station/Station.h"

namespace tallowmere {

// Hears of the station model's facts, one call per kind of change, each only when the fact
// changed; the whole station comes with it. Every call does nothing unless overridden.
class StationEvents {
 public:
  virtual ~StationEvents() = default;
  // Everything was forgotten: a retune or a lost receiver.
  virtual void stationReset(const Station&) {}
  virtual void piChanged(const Station&) {}
  virtual void ptyChanged(const Station&) {}
  // TP, TA or MS.
  virtual void flagsChanged(const Station&) {}
  virtual void decoderIdentificationChanged(const Station&) {}
  virtual void psChanged(const Station&) {}
  virtual void eccChanged(const Station&) {}
  virtual void languageChanged(const Station&) {}
  virtual void programmeItemChanged(const Station&) {}
  virtual void alternativeFrequenciesChanged(const Station&) {}
  // The text of either flag, or the flag in use.
  virtual void radioTextChanged(const Station&) {}
  virtual void clockChanged(const Station&) {}
  virtual void programmeTypeNameChanged(const Station&) {}
  virtual void longPsChanged(const Station&) {}
  virtual void radioTextPlusChanged(const Station&) {}
  // An application confirmed, or the group type that carries it.
  virtual void applicationsChanged(const Station&) {}
  // A network listed, or a fact of a listed one.
  virtual void otherNetworksChanged(const Station&) {}
  // The service's table, id or scope, or the count of distinct messages.
  virtual void tmcChanged(const Station&) {}
};

}  // namespace tallowmere
