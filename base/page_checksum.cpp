#include "base/page_checksum.h"

namespace tedskit::base {
namespace {

unsigned sumOf(std::initializer_list<std::span<const uint8_t>> parts) {
  unsigned sum = 0;
  for (const auto part : parts) {
    for (const uint8_t b : part) sum += b;
  }
  return sum % 256;
}

}  // namespace

bool checksumPasses(std::initializer_list<std::span<const uint8_t>> parts) { return sumOf(parts) == 0; }

uint8_t checksumFor(std::initializer_list<std::span<const uint8_t>> parts) {
  return static_cast<uint8_t>((256 - sumOf(parts)) % 256);
}

}  // namespace tedskit::base
