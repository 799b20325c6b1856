#include "station/NowPlayingFeed.h"

#include "display/RdsCharset.h"
#include "settings/Diagnostics.h"

namespace tallowmere {
namespace {

// RT+ content types: item.title and item.artist.
constexpr int kItemTitle = 1;
constexpr int kItemArtist = 4;

}  // namespace

// The name must be a file of the working folder, as the other two output files are.
void NowPlayingFeed::started(const IniFile& ini, const std::string& iniPath, const StartInfo& /*info*/) {
  const std::string name = ini.value("Outputs", "NowPlaying").value_or("");
  if (name.find('/') != std::string::npos || name == "." || name == "..") {
    reportProblem(iniPath + ": [Outputs] NowPlaying \"" + name +
                  "\" is not a file name in the working folder; no now-playing file is written");
    return;
  }
  file_.setName(name);
  clear();
}

// A running item with neither title nor artist yet (its tags follow the toggle) keeps the
// line of the one before rather than blanking it for a moment.
void NowPlayingFeed::radioTextPlusChanged(const Station& s) {
  const RadioTextPlus& item = *s.radioTextPlus;
  const auto tag = [&item](int contentType) {
    const auto it = item.tags.find(contentType);
    return it == item.tags.end() ? std::string() : rdsTextUtf8(it->second);
  };
  const std::string title = tag(kItemTitle);
  const std::string artist = tag(kItemArtist);
  if (!item.running) {
    show("\r\n");
  } else if (!title.empty() || !artist.empty()) {
    show(nowPlayingLine(artist, title));
  }
}

void NowPlayingFeed::show(const std::string& line) {
  if (line == shown_) return;
  shown_ = line;
  file_.write(line);
}

void NowPlayingFeed::clear() {
  shown_ = "\r\n";
  file_.write(shown_);
}

}  // namespace tallowmere
