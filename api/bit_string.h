// A run of TEDS bits, numbered as in the image (bit p is bit p mod 8 of byte p div 8),
// that can grow and shrink in the middle: the bits of chained templates are cut out of an
// image, edited and put back.
#ifndef TEDSKIT_API_BIT_STRING_H
#define TEDSKIT_API_BIT_STRING_H

#include <cstdint>
#include <span>
#include <vector>

namespace teds {

class BitString {
 public:
  BitString() = default;
  // The bits [from, from + count) of bytes.
  BitString(std::span<const uint8_t> bytes, int64_t from, int64_t count);

  int64_t size() const { return size_; }
  // Up to 64 bits from position on; bits past the end read as 0.
  uint64_t read(int64_t position, int width) const;
  void write(int64_t position, int width, uint64_t value);
  void append(uint64_t value, int width);
  void append(const BitString& other);
  void insert(int64_t position, const BitString& other);
  void erase(int64_t position, int64_t count);
  BitString slice(int64_t position, int64_t count) const;
  bool operator==(const BitString& other) const;
  // The bits as bytes, zero-padded to at least minimumSize bytes.
  std::vector<uint8_t> bytes(std::size_t minimumSize = 0) const;
  // One past the last bit set; 0 when none is.
  int64_t usedSize() const;

 private:
  std::vector<uint8_t> bytes_;
  int64_t size_ = 0;
};

}  // namespace teds

#endif
