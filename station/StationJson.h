#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "station/Station.h"

namespace tallowmere {

// Four upper-case hexadecimal digits: "D42A".
std::string hexText(unsigned value, int digits);
// "12A": a group type numbered as Station::groupsByType numbers it.
std::string groupTypeName(int index);
// The station clock as UTC.
std::chrono::sys_seconds clockUtc(const StationClock& clock);
// The station clock as local time with its offset, ISO 8601: "2017-04-04T23:06:00+02:00",
// a zero offset as "Z".
std::string clockLocalText(const StationClock& clock);

// The AF fact as the station JSON gives it: {"method": "A", "frequencies": [...]}.
void appendAfJson(std::string& out, const AlternativeFrequencies& af);
// {"day": 21, "hour": 13, "minute": 0}
void appendPinJson(std::string& out, const ProgrammeItemNumber& pin);

// How many alternative frequencies the station lists: with method B, those of the
// frequency tuned; 0 before a list counts.
std::size_t alternativeFrequencyCount(const Station& station, int tunedKhz);

// The station's facts as one JSON object, a fact not yet known as null, texts in UTF-8
// through the RDS character table: {"pi": "D42A", "country": "DE", "ecc": "E0", ...}.
// Later facts are added, never renamed.
void appendStationJson(std::string& out, const Station& station);
std::string stationJson(const Station& station);

}  // namespace tallowmere
