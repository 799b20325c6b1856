#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "display/Fields.h"
#include "platform/web/Snapshot.h"
#include "remote/TokenGuesses.h"
#include "settings/WebSettings.h"

namespace tallowmere {

// A request whose head and body the server has read within its limits.
struct Request {
  std::string_view method;
  std::string_view target;
  std::string_view host;
  std::string_view authorization;
  std::string_view cookie;
  std::optional<std::string_view> origin;
  std::string_view body;
  bool upgrade = false;  // a WebSocket handshake
  std::string address;   // the client's
};

enum class Endpoint { State, Groups };

// What to do with a request: answer it, take it on as a WebSocket, or have the decoding
// side type `typed` into `box` and click its button, then answer with the box's text.
struct Answer {
  enum class Then { Reply, WebSocket, Control };
  int status = 200;
  std::string type = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers = {};
  Then then = Then::Reply;
  Endpoint endpoint = Endpoint::State;
  Field box = Field::txtFreq;
  std::string typed = {};
};

Answer textAnswer(int status, std::string_view text);

// A file of the page, served from the program itself.
struct PageFile {
  std::string path;
  std::string type;
  std::string body;
};

// Which request gets which answer: the host, token and origin rules, the endpoints and the
// page. It runs on the network thread; `diagnostic` takes what stderr should say.
class Routes {
 public:
  Routes(WebSettings settings, std::vector<PageFile> pages,
         std::function<std::vector<std::string>()> ownNames, std::function<void(std::string)> diagnostic);

  Answer answer(const Request& request, const Snapshot& latest);

 private:
  std::optional<Answer> refusal(const Request& request, bool acts);
  std::optional<Answer> tokenRefusal(const Request& request);
  bool hostAnswered(std::string_view host) const;
  Answer control(const Request& request, Field box) const;

  WebSettings settings_;
  std::vector<PageFile> pages_;
  std::function<std::vector<std::string>()> ownNames_;
  std::function<void(std::string)> diagnostic_;
  TokenGuesses guesses_;
};

}  // namespace tallowmere
