#include "log/CoreListeners.h"

namespace tallowmere {

void connectCoreListeners(FrmMain& form, StationModel& station, Checks& checks, StationLog& log,
                          NowPlayingFeed& nowPlaying) {
  form.addListener(&station);
  form.addListener(&checks);
  form.addListener(&log);
  station.addListener(&checks);
  station.addListener(&log.stationEvents());
  form.addListener(&nowPlaying);
  station.addListener(&nowPlaying);
  checks.addListener(&log);
}

}  // namespace tallowmere
