#include "ted_file.h"

#include <algorithm>
#include <string>

namespace teds {
namespace {

constexpr char kHeaderText[] = "[v03]";
// At least the Basic TEDS and the two selector bits; at most what the engines hold.
constexpr std::size_t kMinStreamBits = 66;
constexpr std::size_t kMaxStreamBits = 8 * (8 + kEngineMemorySize);

uint8_t headerBit(std::size_t k) {
  return static_cast<uint8_t>((static_cast<unsigned char>(kHeaderText[k / 8]) >> (k % 8)) & 1U);
}

bool bitAt(const TedsImage& image, std::size_t k) {
  const std::size_t byte = k / 8;
  const uint8_t value = byte < 8 ? image.basic[byte] : image.body[byte - 8];
  return ((value >> (k % 8)) & 1U) != 0;
}

}  // namespace

bool isTedFile(std::span<const uint8_t> bytes) {
  if (bytes.size() < kTedHeaderSize) return false;
  for (std::size_t k = 0; k < kTedHeaderSize; ++k) {
    if (bytes[k] != headerBit(k)) return false;
  }
  return true;
}

TedsImage fromTedFile(std::span<const uint8_t> bytes) {
  if (!isTedFile(bytes))
    throw ImageError("a virtual TEDS file starts with the header [v03], one byte per bit");
  const auto stream = bytes.subspan(kTedHeaderSize);
  if (stream.size() < kMinStreamBits) {
    throw ImageError("a virtual TEDS file holds at least " + std::to_string(kMinStreamBits) +
                     " bits (Basic TEDS and selector); this one has " + std::to_string(stream.size()));
  }
  if (stream.size() > kMaxStreamBits) {
    throw ImageError("a virtual TEDS file holds at most " + std::to_string(kMaxStreamBits) +
                     " bits; this one has " + std::to_string(stream.size()));
  }
  const auto bad = std::find_if(stream.begin(), stream.end(), [](uint8_t b) { return b > 1; });
  if (bad != stream.end()) {
    throw ImageError("bit " + std::to_string(bad - stream.begin()) + " of the virtual TEDS file is " +
                     std::to_string(*bad) + ": every byte after the header is 0 or 1");
  }
  TedsImage image;
  image.origin = "virtual TEDS file";
  image.streamBits = stream.size();
  image.body.assign((stream.size() + 7) / 8 - 8, 0);
  for (std::size_t k = 0; k < stream.size(); ++k) {
    if (stream[k] == 0) continue;
    const auto bit = static_cast<uint8_t>(1U << (k % 8));
    if (k < 64) {
      image.basic[k / 8] |= bit;
    } else {
      image.body[k / 8 - 8] |= bit;
    }
  }
  return image;
}

std::vector<uint8_t> tedFile(const TedsImage& image, std::size_t minBits) {
  std::size_t bits = 8 * (8 + image.body.size());
  while (bits > 0 && !bitAt(image, bits - 1)) --bits;
  bits = std::max({bits, kMinStreamBits, std::min(std::max(image.streamBits, minBits), 8 * (8 + image.body.size()))});
  std::vector<uint8_t> file(kTedHeaderSize + bits, 0);
  for (std::size_t k = 0; k < kTedHeaderSize; ++k) file[k] = headerBit(k);
  for (std::size_t k = 0; k < bits; ++k) {
    if (k < 8 * (8 + image.body.size()) && bitAt(image, k)) file[kTedHeaderSize + k] = 1;
  }
  return file;
}

}  // namespace teds
