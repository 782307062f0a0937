// The rules every request to teds serve passes before a handler sees it. A local server
// is reachable by every page the user's browser opens, so a request must name this
// server by a loopback host (no DNS rebinding), come from our own page (no other
// origin), and carry the access token printed at start.
#ifndef TEDSKIT_CLI_SERVE_HTTP_GUARD_H
#define TEDSKIT_CLI_SERVE_HTTP_GUARD_H

#include <optional>
#include <string>
#include <vector>

namespace teds::serve {

// The most a request body may hold: a record file of many TEDS, base64-encoded.
inline constexpr std::size_t kMaxRequestBody = 1024 * 1024;

struct Refusal {
  int status;
  std::string message;
};

class HttpGuard {
 public:
  // extraHost is the --listen address when it is not a loopback one ("" for none).
  HttpGuard(std::string token, int port, std::string extraHost);

  // Host and Origin for every request; the token as well for /api/ paths. host and
  // origin are the headers ("" when absent), token the X-Tedskit-Token header or the
  // token query parameter.
  std::optional<Refusal> check(const std::string& path, const std::string& host, const std::string& origin,
                               const std::string& token) const;

  const std::string& token() const { return token_; }

 private:
  bool hostAllowed(const std::string& host) const;

  std::string token_;
  std::vector<std::string> hosts_;  // "127.0.0.1:8080", ...
};

// 32 hex digits from /dev/urandom.
std::string randomToken();

}  // namespace teds::serve

#endif
