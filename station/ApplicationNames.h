#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowmere {

// The name of an open data application by its application id, or "" for one not listed.
std::string_view applicationName(std::uint16_t aid);

// The name of a RadioText Plus content type ("item.title"); a reserved or private class,
// which has none, by its number ("56").
std::string radioTextPlusClassName(int contentType);

}  // namespace tallowmere
