#pragma once

#include <cstdint>
#include <string_view>

namespace tallowmere {

// The ISO 3166 code of the country that a PI's first digit and the extended country code
// name together, or "" where the table names none.
std::string_view countryCode(std::uint16_t pi, int ecc);

// The English name of a language code of 1A variant 3, or "" for an unassigned code.
std::string_view languageName(int code);

}  // namespace tallowmere
