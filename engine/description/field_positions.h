// Positions of the description engine's fields in a TEDS image, read and written with
// the shared bit-field primitives.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_FIELD_POSITIONS_H
#define TEDSKIT_ENGINE_DESCRIPTION_FIELD_POSITIONS_H

#include <cstdint>

#include "base/bit_field.h"

namespace dorvia {

using tedskit::base::readBits;
using tedskit::base::writeBits;

// Widths come from text; keep them where position arithmetic cannot overflow.
inline int64_t boundedWidth(long long bits) {
  constexpr long long kLimit = 1LL << 31;
  return bits < -kLimit ? -kLimit : bits > kLimit ? kLimit : bits;
}

// The next multiple of 8 at or after position.
inline int64_t alignToByte(int64_t position) {
  const int64_t rem = position % 8;
  return rem == 0 ? position : position + (rem > 0 ? 8 - rem : -rem);
}

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_FIELD_POSITIONS_H
