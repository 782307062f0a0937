#include "bit_string.h"

#include <algorithm>
#include <bit>

#include "base/bit_field.h"

namespace teds {

using tedskit::base::readBits;
using tedskit::base::writeBits;

BitString::BitString(std::span<const uint8_t> bytes, int64_t from, int64_t count) {
  for (int64_t done = 0; done < count; done += 56) {
    const int width = static_cast<int>(std::min<int64_t>(56, count - done));
    append(readBits(bytes, from + done, width), width);
  }
}

uint64_t BitString::read(int64_t position, int width) const {
  if (position >= size_) return 0;
  const int inside = static_cast<int>(std::min<int64_t>(width, size_ - position));
  return readBits(bytes_, position, inside);
}

void BitString::write(int64_t position, int width, uint64_t value) {
  writeBits(bytes_, position, std::min<int64_t>(width, size_ - position), value);
}

void BitString::append(uint64_t value, int width) {
  if (width <= 0) return;
  const int64_t at = size_;
  size_ += width;
  bytes_.resize(static_cast<std::size_t>((size_ + 7) / 8), 0);
  if (width > 56) {
    writeBits(bytes_, at, width, value);
    return;
  }
  // The bits past the end are 0, so the new ones are or-ed in a byte at a time.
  const uint64_t bits = value & ((uint64_t{1} << width) - 1);
  const int shift = static_cast<int>(at & 7);
  const uint64_t placed = bits << shift;  // at most 63 bits
  for (std::size_t k = static_cast<std::size_t>(at >> 3), n = 0; k < bytes_.size() && n < 8; ++k, ++n) {
    bytes_[k] = static_cast<uint8_t>(bytes_[k] | ((placed >> (8 * n)) & 0xFF));
  }
}

void BitString::append(const BitString& other) {
  if ((size_ & 7) == 0) {
    bytes_.resize(static_cast<std::size_t>(size_ / 8));
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
    size_ += other.size_;
    bytes_.resize(static_cast<std::size_t>((size_ + 7) / 8), 0);
    return;
  }
  for (int64_t at = 0; at < other.size_; at += 56) {
    const int width = static_cast<int>(std::min<int64_t>(56, other.size_ - at));
    append(other.read(at, width), width);
  }
}

BitString BitString::slice(int64_t position, int64_t count) const {
  BitString out;
  const int64_t end = std::min(size_, position + count);
  if (end <= position) return out;
  if ((position & 7) == 0) {
    // Whole bytes, the last one cut to the slice.
    const auto first = static_cast<std::size_t>(position / 8);
    const auto last = static_cast<std::size_t>((end + 7) / 8);
    out.bytes_.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(first),
                      bytes_.begin() + static_cast<std::ptrdiff_t>(last));
    out.size_ = end - position;
    if (const int rest = static_cast<int>(out.size_ & 7); rest != 0) {
      out.bytes_.back() = static_cast<uint8_t>(out.bytes_.back() & ((1u << rest) - 1));
    }
    return out;
  }
  for (int64_t at = position; at < end; at += 56) {
    const int width = static_cast<int>(std::min<int64_t>(56, end - at));
    out.append(read(at, width), width);
  }
  return out;
}

void BitString::insert(int64_t position, const BitString& other) {
  BitString joined = slice(0, position);
  joined.append(other);
  joined.append(slice(position, size_ - position));
  *this = std::move(joined);
}

void BitString::erase(int64_t position, int64_t count) {
  BitString joined = slice(0, position);
  joined.append(slice(position + count, size_ - position - count));
  *this = std::move(joined);
}

bool BitString::operator==(const BitString& other) const {
  return size_ == other.size_ && bytes_ == other.bytes_;
}

}  // namespace teds

namespace teds {

std::vector<uint8_t> BitString::bytes(std::size_t minimumSize) const {
  std::vector<uint8_t> out = bytes_;
  if (out.size() < minimumSize) out.resize(minimumSize, 0);
  return out;
}

int64_t BitString::usedSize() const {
  for (std::size_t i = bytes_.size(); i > 0; --i) {
    if (const uint8_t byte = bytes_[i - 1]; byte != 0) {
      return static_cast<int64_t>(i - 1) * 8 + (8 - std::countl_zero(byte));
    }
  }
  return 0;
}

}  // namespace teds
