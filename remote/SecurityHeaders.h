#pragma once

#include <string_view>
#include <utility>

namespace tallowmere {

// The headers every response of the web server carries, its own errors included: the page
// loads nothing from elsewhere and no other site may frame it, a browser takes each answer
// as the type it says, and nothing is kept in a cache (the state is live, a page may hold
// a token).
inline constexpr std::pair<std::string_view, std::string_view> kSecurityHeaders[] = {
    {"Content-Security-Policy", "default-src 'self'"},
    {"Content-Security-Policy", "frame-ancestors 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"Cache-Control", "no-store"},
};

}  // namespace tallowmere
