#pragma once

#include "checks/Checks.h"
#include "form/FrmMain.h"
#include "log/StationLog.h"
#include "station/NowPlayingFeed.h"
#include "station/StationModel.h"

namespace tallowmere {

// Joins the core's listeners as the monitor and the replay driver both run them. The
// station model hears each of the form's events first, so the log's events of a group
// follow its facts and the checks judge them.
void connectCoreListeners(FrmMain& form, StationModel& station, Checks& checks, StationLog& log,
                          NowPlayingFeed& nowPlaying);

}  // namespace tallowmere
