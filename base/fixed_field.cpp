#include "base/fixed_field.h"

namespace tedskit::base {

bool copyOut(std::string_view text, char* buffer, int32_t size, TooSmall tooSmall) {
  if (buffer == nullptr || size == 0) return false;
  const bool fits = size < 0 || text.size() < static_cast<std::size_t>(size);
  if (!fits && tooSmall == TooSmall::Nothing) return false;
  const std::size_t length = fits ? text.size() : static_cast<std::size_t>(size) - 1;
  text.copy(buffer, length);
  buffer[length] = '\0';
  return fits;
}

}  // namespace tedskit::base
