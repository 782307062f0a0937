// What teds serve reads of a request before any handler runs: the path, Host, Origin
// and token that the guard judges, and the base64 of uploaded files. Input lines: path,
// host, origin, token, base64. The guard must let through only our own host with the
// token, and base64 must decode what it encodes.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/serve/base64.h"
#include "cli/serve/http_guard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (parts.size() < 4) {
    const std::size_t end = input.find('\n', at);
    if (end == std::string_view::npos) break;
    parts.emplace_back(input.substr(at, end - at));
    at = end + 1;
  }
  const std::string rest(input.substr(std::min(at, input.size())));
  parts.resize(4);
  static const teds::serve::HttpGuard guard(std::string(32, 'a'), 8451, "");
  const auto refusal = guard.check(parts[0], parts[1], parts[2], parts[3]);
  if (!refusal) {
    std::string host = parts[1];
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool ours = host == "127.0.0.1:8451" || host == "[::1]:8451" || host == "localhost:8451";
    if (!ours || (parts[0].starts_with("/api/") && parts[3] != std::string(32, 'a'))) std::abort();
  }
  if (const auto bytes = teds::serve::fromBase64(rest)) {
    if (teds::serve::fromBase64(teds::serve::toBase64(*bytes)) != *bytes) std::abort();
  }
  return 0;
}
