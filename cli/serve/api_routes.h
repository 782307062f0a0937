// The JSON API of teds serve (docs/http-api.md) and the page, on one httplib server.
#ifndef TEDSKIT_CLI_SERVE_API_ROUTES_H
#define TEDSKIT_CLI_SERVE_API_ROUTES_H

#include <filesystem>
#include <string>
#include <vector>

namespace httplib {
class Server;
}

namespace teds::serve {

class HttpGuard;

struct ServeSettings {
  std::filesystem::path templatesDir;
  std::string bus;                          // the bus a request names none
  std::vector<std::string> toolOptions;     // --templates DIR, --tdl FILE for the tool's children
};

// Installs the guard, the page and every API route. The server must not outlive guard.
void installRoutes(httplib::Server& server, const HttpGuard& guard, const ServeSettings& settings);

}  // namespace teds::serve

#endif
