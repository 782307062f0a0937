// The page's files, built into the tool from web/ so an installed teds serves them
// without any file beside it.
#ifndef TEDSKIT_CLI_SERVE_WEB_ASSETS_H
#define TEDSKIT_CLI_SERVE_WEB_ASSETS_H

#include <cstddef>
#include <span>
#include <string_view>

namespace teds::serve {

struct WebAsset {
  std::string_view path;  // "/index.html", "/js/app.js", ...
  std::string_view mime;
  std::string_view content;
};

// Generated at build time from the files of web/.
std::span<const WebAsset> webAssets();

}  // namespace teds::serve

#endif
