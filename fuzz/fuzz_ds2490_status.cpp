// The DS2490 back end under any status packets and read-backs from the bridge: every
// operation succeeds or fails as an AdapterError, and every poll stays bounded.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "owbus/ds2490_backend.h"

namespace {

using namespace owbus;

// A bridge whose status packets and EP3 bytes come from the fuzzer: each packet is a
// length byte and that many bytes; a read-back takes the bytes it asks for.
class FuzzTransport final : public Ds2490Transport {
 public:
  explicit FuzzTransport(std::span<const uint8_t> data) : data_(data) {}
  void control(uint8_t, uint16_t, uint16_t) override {}
  void bulkOut(std::span<const uint8_t>) override {}
  size_t bulkIn(std::span<uint8_t> into) override { return take(into, into.size()); }
  size_t readStatus(std::span<uint8_t> into) override {
    if (at_ >= data_.size()) throw AdapterError("fuzz: the bridge is gone");
    const size_t length = data_[at_++] % (into.size() + 8);  // too long packets are cut
    return take(into, std::min(length, into.size()));
  }

 private:
  size_t take(std::span<uint8_t> into, size_t n) {
    n = std::min(n, data_.size() - at_);
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(at_), n, into.begin());
    at_ += n;
    return n;
  }
  std::span<const uint8_t> data_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Ds2490Backend backend(std::make_unique<FuzzTransport>(std::span<const uint8_t>(data, size)), "fuzz");
  std::string error;
  if (!backend.start(error)) return 0;
  for (int round = 0; round < 4; ++round) {
    try {
      backend.reset();
      backend.touchByte(0xCC);
      std::array<uint8_t, 70> block{};
      backend.block(block);
      backend.search(Rom{0x81});
    } catch (const AdapterError&) {
    }
  }
  return 0;
}
