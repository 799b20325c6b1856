#include "platform/web/Routes.h"

#include <algorithm>

#include "remote/RemoteEntry.h"
#include "remote/RequestRules.h"

namespace tallowmere {
namespace {

constexpr std::string_view kViewCookie = "tallowmere_view";

bool isWebSocketPath(std::string_view path) {
  return path == "/ws/state" || path == "/ws/groups";
}

Answer wrongMethod(std::string_view allowed) {
  Answer answer = textAnswer(405, "use " + std::string(allowed));
  answer.headers.emplace_back("Allow", allowed);
  return answer;
}

}  // namespace

Answer textAnswer(int status, std::string_view text) {
  return {status, "text/plain; charset=utf-8", std::string(text) + "\n"};
}

Routes::Routes(WebSettings settings, std::vector<PageFile> pages,
               std::function<std::vector<std::string>()> ownNames,
               std::function<void(std::string)> diagnostic)
    : settings_(std::move(settings)),
      pages_(std::move(pages)),
      ownNames_(std::move(ownNames)),
      diagnostic_(std::move(diagnostic)) {}

// On loopback, the loopback names and the listening address; on the network without a
// ViewToken, the machine's own names and addresses and those of Hosts; with a ViewToken,
// any name (the token keeps other sites' pages out).
bool Routes::hostAnswered(std::string_view host) const {
  if (isLoopbackAddress(settings_.host)) return hostAllowed(host, settings_.host);
  if (!settings_.viewToken.empty()) return true;
  std::vector<std::string> names = ownNames_();
  names.insert(names.end(), settings_.hosts.begin(), settings_.hosts.end());
  return hostIsOwn(host, names);
}

// With a ViewToken, a request must carry it (or the ControlToken). A request carrying a
// token that is neither counts as a guess; an address that guessed too often gets no
// answer to a request with a token for a while.
std::optional<Answer> Routes::tokenRefusal(const Request& request) {
  if (settings_.viewToken.empty() && settings_.controlToken.empty()) return std::nullopt;
  // The cookie holds the token as the page's address gave it, percent-encoded.
  const std::string cookie = percentDecoded(cookieValue(request.cookie, kViewCookie));
  const std::string query = queryValue(request.target, "token").value_or("");
  bool carried = false;
  bool viewed = settings_.viewToken.empty();
  bool wrong = false;
  for (const std::string_view given :
       {bearerToken(request.authorization), std::string_view(cookie), std::string_view(query)}) {
    if (given.empty()) continue;
    carried = true;
    const bool known =
        tokenMatches(given, settings_.viewToken) || tokenMatches(given, settings_.controlToken);
    viewed = viewed || known;
    wrong = wrong || !known;
  }
  const auto now = TokenGuesses::Clock::now();
  if (carried && guesses_.refused(request.address, now)) {
    Answer answer = textAnswer(429, "too many wrong tokens; wait a minute");
    answer.headers.emplace_back("Retry-After", "60");
    return answer;
  }
  if (wrong && guesses_.wrongToken(request.address, now)) {
    diagnostic_("web: " + std::to_string(TokenGuesses::kMaxWrong) + " wrong tokens in a minute from " +
                request.address + "; its requests with a token are refused for a minute");
  }
  if (viewed) return std::nullopt;
  Answer answer = textAnswer(401, "this server needs its ViewToken");
  answer.headers.emplace_back("WWW-Authenticate", "Bearer realm=\"tallowmere\"");
  return answer;
}

// Why a request is not answered, if it is not: a foreign host name, a missing view token,
// or, for a request that acts or subscribes, another site's page.
std::optional<Answer> Routes::refusal(const Request& request, bool acts) {
  if (!hostAnswered(request.host)) return textAnswer(421, "this server does not answer for that host name");
  if (auto refused = tokenRefusal(request)) return refused;
  if (acts && !originAllowed(request.origin, request.host)) {
    return textAnswer(403, "requests from another site's page are refused");
  }
  return std::nullopt;
}

Answer Routes::answer(const Request& request, const Snapshot& latest) {
  const std::string_view path = targetPath(request.target);
  const bool isPost = request.method == "POST";
  const bool isGet = request.method == "GET" || request.method == "HEAD";
  if (auto refused = refusal(request, isPost || request.upgrade)) return std::move(*refused);

  if (path == "/api/frequency" || path == "/api/volume") {
    if (!isPost) return wrongMethod("POST");
    return control(request, path == "/api/frequency" ? Field::txtFreq : Field::txtVol);
  }
  const auto page =
      std::find_if(pages_.begin(), pages_.end(), [&](const PageFile& p) { return p.path == path; });
  const bool known = path == "/api/state" || path == "/api/events" || path == "/metrics" ||
                     isWebSocketPath(path) || page != pages_.end();
  if (!known) return textAnswer(404, request.upgrade ? "no WebSocket here" : "not found");
  if (!isGet) return wrongMethod("GET");

  if (isWebSocketPath(path)) {
    if (request.upgrade) {
      Answer answer;
      answer.then = Answer::Then::WebSocket;
      answer.endpoint = path == "/ws/state" ? Endpoint::State : Endpoint::Groups;
      return answer;
    }
    Answer answer = textAnswer(426, "this is a WebSocket");
    answer.headers.emplace_back("Upgrade", "websocket");
    return answer;
  }
  if (request.upgrade) return textAnswer(404, "no WebSocket here");
  if (path == "/api/state") return {200, "application/json", latest.state};
  if (path == "/metrics") return {200, "text/plain; version=0.0.4; charset=utf-8", latest.metrics};
  if (path == "/api/events") {
    const auto sinceText = queryValue(request.target, "since");
    const auto since =
        sinceText && !sinceText->empty() ? readTime(*sinceText) : std::optional<WallTime>(WallTime{});
    if (!since) return textAnswer(400, "since is a time such as 2026-12-08T07:00:00Z");
    return {200, "application/json",
            "{\"events\": " + (latest.eventLog ? latest.eventLog->arraySince(*since) : "[]") + "}"};
  }
  Answer answer{200, page->type, page->body};
  // The cookie keeps the ViewToken only: a wrong token, or the ControlToken, never replaces it.
  const std::string token = queryValue(request.target, "token").value_or("");
  if (tokenMatches(token, settings_.viewToken)) {
    answer.headers.emplace_back("Set-Cookie", std::string(kViewCookie) + "=" + percentEncoded(token) +
                                                  "; HttpOnly; SameSite=Strict; Path=/");
  }
  return answer;
}

// As if the operator typed the body into the box and clicked its button; the decoding
// side does that and answers.
Answer Routes::control(const Request& request, Field box) const {
  if (settings_.controlToken.empty() ||
      !tokenMatches(bearerToken(request.authorization), settings_.controlToken)) {
    return textAnswer(403, "control needs the ControlToken");
  }
  RemoteEntry entry = remoteEntry(box, request.body);
  if (!entry.refusal.empty()) return textAnswer(400, entry.refusal);
  Answer answer;
  answer.then = Answer::Then::Control;
  answer.box = box;
  answer.typed = std::move(entry.text);
  return answer;
}

}  // namespace tallowmere
