// The 8-bit checksum of the TEDS images: a run of bytes passes when it sums to 0 modulo
// 256, and the checksum byte is the one that makes it so.
#ifndef TEDSKIT_BASE_PAGE_CHECKSUM_H
#define TEDSKIT_BASE_PAGE_CHECKSUM_H

#include <cstdint>
#include <initializer_list>
#include <span>

namespace tedskit::base {

// True when all the bytes of all the parts sum to 0 modulo 256.
bool checksumPasses(std::initializer_list<std::span<const uint8_t>> parts);
inline bool checksumPasses(std::span<const uint8_t> bytes) { return checksumPasses({bytes}); }

// The byte that, added to all the bytes of the parts, makes them sum to 0 modulo 256.
// The parts are everything the checksum covers except the checksum byte itself.
uint8_t checksumFor(std::initializer_list<std::span<const uint8_t>> parts);
inline uint8_t checksumFor(std::span<const uint8_t> rest) { return checksumFor({rest}); }

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_PAGE_CHECKSUM_H
