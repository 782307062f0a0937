// Helpers for driving ferrun against a simulated bus: bus-file text for chips with given
// contents, paged images with their checksums, and one read's outputs.
#ifndef TEDSKIT_TESTS_ONEWIRE_FERRUN_FIXTURE_H
#define TEDSKIT_TESTS_ONEWIRE_FERRUN_FIXTURE_H

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tedskit/ferrun.h"
#include "temp_bus.h"

using Bytes = std::vector<uint8_t>;

inline std::string hexLine(const Bytes& bytes, size_t from, size_t count) {
  std::string out;
  char buf[4];
  for (size_t i = from; i < from + count && i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, " %02X", bytes[i]);
    out += buf;
  }
  return out;
}

// One device block: type, serial number (12 hex digits), memory from address 0, and any
// further lines ("locked yes", "channel 2", ...).
inline std::string device(const std::string& type, const std::string& serial, const Bytes& memory = {},
                          const std::string& extra = "") {
  std::string out = "device " + type + "\n  serial " + serial + "\n";
  for (size_t a = 0; a < memory.size(); a += 16) {
    char addr[24];
    std::snprintf(addr, sizeof addr, "%04zX", a);
    out += "  memory " + std::string(addr) + hexLine(memory, a, 16) + "\n";
  }
  return out + extra + "end\n";
}

// Sets byte 0 of every 32-byte page so that the page sums to 0 modulo 256.
inline Bytes withChecksums(Bytes image) {
  for (size_t p = 0; p + 32 <= image.size(); p += 32) {
    unsigned sum = 0;
    for (size_t i = 1; i < 32; ++i) sum += image[p + i];
    image[p] = static_cast<uint8_t>((256 - sum % 256) % 256);
  }
  return image;
}

inline uint8_t selectorByte(int selector, int templateId) {
  return static_cast<uint8_t>(selector | ((templateId & 0x3F) << 2));
}
inline uint8_t templateHigh(int templateId) { return static_cast<uint8_t>(templateId >> 6); }

// A page image of n bytes, pattern-filled from `seed`.
inline Bytes pattern(size_t n, uint8_t seed) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
  return b;
}

inline const Bytes kBasic{0x45, 0x40, 0x26, 0x22, 0x04, 0x92, 0x8A, 0x01};

// Layout A: checksum, Basic TEDS, selector byte, template byte, data; checksums set.
inline Bytes layoutA(size_t n, int selector, int templateId, uint8_t seed = 0x30) {
  Bytes image = pattern(n, seed);
  std::copy(kBasic.begin(), kBasic.end(), image.begin() + 1);
  image[9] = selectorByte(selector, templateId);
  image[10] = static_cast<uint8_t>((image[10] & 0xFC) | templateHigh(templateId));
  return withChecksums(image);
}

// Layout B: checksum, eight FFh, Basic TEDS, selector byte at 17, data; checksums set.
inline Bytes layoutB(size_t n, int selector, int templateId, uint8_t seed = 0x50) {
  Bytes image = pattern(n, seed);
  std::fill(image.begin() + 1, image.begin() + 9, 0xFF);
  std::copy(kBasic.begin(), kBasic.end(), image.begin() + 9);
  image[17] = selectorByte(selector, templateId);
  image[18] = static_cast<uint8_t>((image[18] & 0xFC) | templateHigh(templateId));
  return withChecksums(image);
}

struct ReadOut {
  std::array<uint8_t, 8> reg{};
  std::array<uint8_t, FERRUN_MAX_MEMORY> memory{};
  int32_t registerUsed = -5;
  std::array<int32_t, 4> flags{};
  int32_t templateId = -5;
  int32_t rc = -5;

  Bytes mem(size_t from, size_t count) const {
    return Bytes(memory.begin() + from, memory.begin() + from + count);
  }
  Bytes regBytes() const { return Bytes(reg.begin(), reg.end()); }
};

inline ReadOut readMemory(int32_t mode = 0) {
  ReadOut out;
  out.rc = stdcdll_read_memory_extended(out.reg.data(), out.memory.data(), &out.registerUsed,
                                        out.flags.data(), &out.templateId, mode);
  return out;
}

// The chip contents as a fresh session reads them in raw mode.
inline Bytes rawContents(size_t n) {
  const ReadOut out = readMemory(FERRUN_RAW_MODE);
  return out.mem(0, n);
}

// An open ferrun session for the length of a test.
class Session {
 public:
  explicit Session(int32_t port = 1) : opened(stdcdll_OpenCom(port)) {}
  ~Session() { stdcdll_CloseCom(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  int32_t opened;
};

inline Bytes slice(const Bytes& b, size_t from, size_t count) {
  return Bytes(b.begin() + from, b.begin() + from + count);
}

#endif  // TEDSKIT_TESTS_ONEWIRE_FERRUN_FIXTURE_H
