// Base64 (RFC 4648, with padding) for file contents inside JSON requests and answers.
#ifndef TEDSKIT_CLI_SERVE_BASE64_H
#define TEDSKIT_CLI_SERVE_BASE64_H

#include <optional>
#include <string>
#include <string_view>

namespace teds::serve {

std::string toBase64(std::string_view bytes);
// Nothing when the text is not base64; blanks and line ends are skipped.
std::optional<std::string> fromBase64(std::string_view text);

}  // namespace teds::serve

#endif
