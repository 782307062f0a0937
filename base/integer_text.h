// Integers at the start of a text, read as the C library's strtoll reads them.
#ifndef TEDSKIT_BASE_INTEGER_TEXT_H
#define TEDSKIT_BASE_INTEGER_TEXT_H

#include <cstddef>
#include <optional>
#include <string_view>

namespace tedskit::base {

// The integer after blanks at the start of text, in the given base (0: a C integer
// literal, decimal, octal with a leading 0 or hexadecimal with 0x), read as strtoll reads
// it but without its copy of the text: a number beyond the range of long long is held to
// it, `used` receives the characters read, and there is nothing when no digit comes.
std::optional<long long> leadingInteger(std::string_view text, int base, std::size_t* used = nullptr);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_INTEGER_TEXT_H
