#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/WallClock.h"

namespace tallowmere {

// The host name of a Host header, lower case, without port or IPv6 brackets:
// "Example.org:8088" -> "example.org", "[::1]:8088" -> "::1".
std::string hostName(std::string_view hostHeader);

// Whether an address to listen on serves this machine only.
bool isLoopbackAddress(std::string_view host);

// Whether a request naming this Host may be answered by a server listening on listenHost.
// A server on loopback answers only the loopback names and its own address, so that a web
// page whose host name an attacker pointed at 127.0.0.1 cannot read it (DNS rebinding); a
// server on the network answers any name. A request without Host comes from no browser.
bool hostAllowed(std::string_view hostHeader, std::string_view listenHost);

// Whether a server on the network that needs no ViewToken answers this Host: a loopback
// name or one of `ownNames` (lower case: the machine's names and addresses, the Hosts
// setting), so that a page whose name an attacker pointed at the machine cannot read it.
bool hostIsOwn(std::string_view hostHeader, const std::vector<std::string>& ownNames);

// Whether a request with this Origin may act on or subscribe to the server: no Origin (a
// script or a decoder) may; a browser's must be the page's own, http://HOST.
bool originAllowed(std::optional<std::string_view> origin, std::string_view hostHeader);

// Compares in time that does not depend on where the texts differ.
bool tokenMatches(std::string_view given, std::string_view expected);
// The token of "Bearer TOKEN", or "".
std::string_view bearerToken(std::string_view authorization);
// The value of one cookie of a Cookie header, or "".
std::string_view cookieValue(std::string_view cookieHeader, std::string_view name);

// Percent-encoding as a URL's query and a cookie carry it; "+" stays itself.
std::string percentDecoded(std::string_view text);
std::string percentEncoded(std::string_view text);
// The path of a request target ("/api/events?since=5" -> "/api/events"), and one parameter
// of its query, percent-decoded, or none.
std::string_view targetPath(std::string_view target);
std::optional<std::string> queryValue(std::string_view target, std::string_view name);

// A time as "2026-12-08T07:00:00Z" (with or without milliseconds) or as Unix seconds.
std::optional<WallTime> readTime(std::string_view text);

}  // namespace tallowmere
