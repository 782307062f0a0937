#include "http_guard.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "failure.h"

namespace teds::serve {

namespace {

// Compares in time that does not depend on where the texts first differ.
bool sameSecret(const std::string& given, const std::string& wanted) {
  if (given.size() != wanted.size()) return false;
  unsigned char difference = 0;
  for (std::size_t i = 0; i < given.size(); ++i) {
    difference |= static_cast<unsigned char>(given[i] ^ wanted[i]);
  }
  return difference == 0;
}

std::string withPort(const std::string& host, int port) { return host + ":" + std::to_string(port); }

}  // namespace

HttpGuard::HttpGuard(std::string token, int port, std::string extraHost) : token_(std::move(token)) {
  for (const char* name : {"127.0.0.1", "localhost", "[::1]"}) hosts_.push_back(withPort(name, port));
  if (!extraHost.empty()) {
    const bool v6 = extraHost.find(':') != std::string::npos && extraHost.front() != '[';
    hosts_.push_back(withPort(v6 ? "[" + extraHost + "]" : extraHost, port));
  }
}

bool HttpGuard::hostAllowed(const std::string& host) const {
  for (const auto& allowed : hosts_) {
    if (host.size() == allowed.size() &&
        std::equal(host.begin(), host.end(), allowed.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; })) {
      return true;
    }
  }
  return false;
}

std::optional<Refusal> HttpGuard::check(const std::string& path, const std::string& host,
                                        const std::string& origin, const std::string& token) const {
  if (!hostAllowed(host)) {
    return Refusal{421, "this server answers only to " + hosts_.front() + " (Host was '" + host + "')"};
  }
  // The page's own requests carry our origin or none; any other is another site's page.
  if (!origin.empty() && origin != "http://" + host) {
    return Refusal{403, "requests from other origins are refused ('" + origin + "')"};
  }
  if (path.starts_with("/api/") && !sameSecret(token, token_)) {
    return Refusal{401, token.empty() ? "the access token is missing" : "the access token is wrong"};
  }
  return std::nullopt;
}

std::string randomToken() {
  std::ifstream random("/dev/urandom", std::ios::binary);
  unsigned char bytes[16] = {};
  if (!random.read(reinterpret_cast<char*>(bytes), sizeof bytes)) throw Failure("cannot read /dev/urandom");
  static const char digits[] = "0123456789abcdef";
  std::string token;
  for (unsigned char byte : bytes) {
    token += digits[byte >> 4];
    token += digits[byte & 15];
  }
  return token;
}

}  // namespace teds::serve
