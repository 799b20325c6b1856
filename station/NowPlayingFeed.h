#pragma once

#include <string>

#include "form/FormEvents.h"
#include "output/NowPlayingFile.h"
#include "station/StationEvents.h"

namespace tallowmere {

// Keeps nowplaying.txt on the RadioText Plus running item: its artist and title whenever
// they change; a bare CR LF at start, after a retune or a lost receiver, when the item
// stops running, and at a clean stop. On only when [Outputs] NowPlaying names the file.
class NowPlayingFeed : public FormEvents, public StationEvents {
 public:
  explicit NowPlayingFeed(OutputFiles& files) : file_(files) {}

  void started(const IniFile& ini, const std::string& iniPath, const StartInfo& info) override;
  void polled() override { file_.retry(); }
  void stopping() override { clear(); }
  void stationReset(const Station&) override { clear(); }
  void radioTextPlusChanged(const Station& s) override;

 private:
  void show(const std::string& line);
  void clear();

  NowPlayingFile file_;
  std::string shown_;  // the line written last
};

}  // namespace tallowmere
