// Text in fixed char fields and in caller buffers, always bounded: a copy never runs past
// the field or buffer, leaves room for its terminator, and reads a null text as empty.
#ifndef TEDSKIT_BASE_FIXED_FIELD_H
#define TEDSKIT_BASE_FIXED_FIELD_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tedskit::base {

// The text of a fixed field, up to its terminator or its end, whichever comes first.
template <std::size_t N>
std::string_view fieldText(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// Copies text into a fixed field, cut to N - 1 characters; the rest of the field is
// zeroed, so no earlier text shows behind it.
template <std::size_t N>
void copyToField(char (&field)[N], std::string_view text) {
  const std::size_t length = text.size() < N ? text.size() : N - 1;
  // The whole field first: a clear of known size is cheaper than one of the rest.
  std::memset(field, 0, N);
  if (length > 0) std::memcpy(field, text.data(), length);
}
template <std::size_t N>
void copyToField(char (&field)[N], const char* text) {
  copyToField(field, text != nullptr ? std::string_view(text, strnlen(text, N)) : std::string_view());
}

// What a caller's buffer too small for the text receives.
enum class TooSmall {
  CutCopy,  // as much of the text as fits, terminated
  Nothing,  // the buffer is left as it was: for texts that are no use cut
};

// Copies text to a caller's buffer of `size` bytes; a negative size is a buffer that
// holds any text. True when the whole text went in. A null buffer, or one of size 0,
// receives nothing.
bool copyOut(std::string_view text, char* buffer, int32_t size, TooSmall tooSmall = TooSmall::CutCopy);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_FIXED_FIELD_H
