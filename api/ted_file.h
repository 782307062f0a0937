// Virtual TEDS files (.ted): a 40-byte header, "[v03]" one byte per bit, then the TEDS
// bit stream one byte per bit (each byte 00h or 01h), Basic TEDS first, no checksums and
// no length: the stream ends with the file.
#ifndef TEDSKIT_API_TED_FILE_H
#define TEDSKIT_API_TED_FILE_H

#include <cstdint>
#include <span>
#include <vector>

#include "image.h"

namespace teds {

inline constexpr std::size_t kTedHeaderSize = 40;

// Whether the bytes start with the header.
bool isTedFile(std::span<const uint8_t> bytes);

// Reads a whole file. Every end of stream is taken: right after the end selector, with an
// empty or filled user area, or padded with zero bits. Throws ImageError.
TedsImage fromTedFile(std::span<const uint8_t> bytes);

// The file of an image: its stream up to the last one bit, or as long as the stream it
// was read from (image.streamBits), or as its template's fields (minBits), when longer.
// Without minBits a template whose last fields hold zeros would end early and read back
// as cut short.
std::vector<uint8_t> tedFile(const TedsImage& image, std::size_t minBits = 0);

}  // namespace teds

#endif
