// The libraries keep texts as ISO-8859-1 bytes (the degree sign is 0xB0); callers of the
// tool and of libtedskit speak UTF-8.
#ifndef TEDSKIT_API_LATIN1_H
#define TEDSKIT_API_LATIN1_H

#include <string>
#include <string_view>

#include "base/ascii_case.h"

namespace teds {

// ISO-8859-1 bytes to UTF-8.
std::string latin1ToUtf8(std::string_view text);
// UTF-8 to ISO-8859-1; characters beyond U+00FF and malformed sequences become '?'.
std::string utf8ToLatin1(std::string_view text);

using tedskit::base::equalsIgnoreCase;
std::string trim(std::string_view text);

}  // namespace teds

#endif
