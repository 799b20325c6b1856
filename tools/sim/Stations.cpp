#include <array>

#include "tools/sim/Station.h"

namespace tallowmere {
namespace {

using namespace std::chrono_literals;

// Dale FM, 88.8 MHz: pop music with travel news, TMC and regular traffic announcements.
constexpr std::array<int, 3> kDaleFrequencies = {888, 912, 1017};
constexpr std::array<std::string_view, 4> kDaleTexts = {
    "Dale FM - music and travel news for the whole valley",
    "Now playing: The Lanterns - Harbour Lights",
    "Roadworks on the A59 at Skelby Bridge: expect delays northbound",
    "Dale FM: news on the hour, weather at twenty past",
};
// "Now playing: The Lanterns - Harbour Lights": item.artist from 13, item.title from 28.
constexpr std::array<std::array<RadioTextPlusTag, 2>, 4> kDaleRadioTextPlus = {
    {{},
     {{{.contentType = 4, .start = 13, .length = 12}, {.contentType = 1, .start = 28, .length = 14}}},
     {},
     {}}};
// clang-format off
constexpr std::array<TmcMessage, 3> kDaleTmcMessages = {{
    {.event = 701, .location = 0x2A17, .extent = 2, .negativeDirection = false, .duration = 3, .diversion = false},
    {.event = 101, .location = 0x2A40, .extent = 1, .negativeDirection = true, .duration = 1, .diversion = false},
    {.event = 401, .location = 0x1F0C, .extent = 0, .negativeDirection = false, .duration = 2, .diversion = true},
}};
// clang-format on

// Fen & Folk, 104.5 MHz: folk music, no traffic programme; short texts ended by CR.
constexpr std::array<int, 1> kFenFrequencies = {1045};
constexpr std::array<std::string_view, 2> kFenTexts = {
    "Fen & Folk: songs from the marshes",
    "Up next: Ada Fairweather live",
};

constexpr std::array<Station, 2> kStations = {{
    {.frequencyDigits = "8880",
     .programme = {.pi = 0xC4B2, .tp = true, .pty = 10},
     .ps = "DALE FM ",
     .flags = {.ta = false, .music = true, .decoderId = 0b0001},
     .alternativeFrequencies = kDaleFrequencies,
     .radioTexts = kDaleTexts,
     .radioTextPlus = kDaleRadioTextPlus,
     .textEnd = TextEnd::Spaces,
     .textPeriod = 30s,
     .programmeTypeName = "POP HITS",
     .longPs = "Dale FM \xE2\x80\x93 Skelby & the valley",
     .extendedCountryCode = 0xE1,
     .programmeItem = {.day = 12, .hour = 14, .minute = 0},
     .otherNetwork = OtherNetwork{.pi = 0xC7F3, .ps = "FEN&FOLK", .tp = false},
     .tmcMessages = kDaleTmcMessages,
     .tmcLocationTable = 7,
     .tmcServiceId = 15,
     .traffic = TrafficSchedule{.firstAfter = 10s, .length = 30s, .every = 300s}},
    {.frequencyDigits = "10450",
     .programme = {.pi = 0xC7F3, .tp = false, .pty = 28},
     .ps = "FEN&FOLK",
     .flags = {.ta = false, .music = true, .decoderId = 0b0001},
     .alternativeFrequencies = kFenFrequencies,
     .radioTexts = kFenTexts,
     .radioTextPlus = {},
     .textEnd = TextEnd::CarriageReturn,
     .textPeriod = 30s,
     .programmeTypeName = "FOLK    ",
     .longPs = "",
     .extendedCountryCode = 0xE1,
     .programmeItem = {},
     .otherNetwork = std::nullopt,
     .tmcMessages = {},
     .tmcLocationTable = 0,
     .tmcServiceId = 0,
     .traffic = std::nullopt},
}};

}  // namespace

const Station* stationOn(std::string_view frequencyDigits) {
  for (const Station& station : kStations) {
    if (station.frequencyDigits == frequencyDigits) return &station;
  }
  return nullptr;
}

}  // namespace tallowmere
