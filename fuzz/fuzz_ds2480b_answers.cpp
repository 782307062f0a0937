// The DS2480B back end under any answers from the serial line: start-up, resets, bytes,
// blocks and searches either succeed or fail as an AdapterError, never worse, and every
// wait stays bounded.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "owbus/ds2480b_backend.h"

namespace {

using namespace owbus;

// A line whose far end answers with the fuzzer's bytes and takes no time: each write
// lets as many answer bytes through as it sent (one fewer on every third write when
// `losing`), so that answers come in step, garbled, late or lost.
class FuzzLink final : public SerialLink {
 public:
  FuzzLink(std::span<const uint8_t> answers, bool losing) : answers_(answers), losing_(losing) {}
  void write(std::span<const uint8_t> bytes) override {
    const size_t lost = losing_ && ++writes_ % 3 == 0 ? 1 : 0;
    released_ = std::min(answers_.size(), released_ + bytes.size() - std::min(lost, bytes.size()));
  }
  size_t read(std::span<uint8_t> into, int) override {
    const size_t n = std::min(into.size(), released_ - at_);
    std::copy_n(answers_.begin() + static_cast<std::ptrdiff_t>(at_), n, into.begin());
    at_ += n;
    return n;
  }
  void drain() override {}
  void sendBreak() override {}
  void setBaud(int) override {}
  void pause(int) override {}
  const std::string& name() const override { return name_; }

 private:
  std::span<const uint8_t> answers_;
  bool losing_;
  size_t writes_ = 0;
  size_t released_ = 0;
  size_t at_ = 0;
  std::string name_ = "fuzz";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the baud rate asked for and whether answers get lost.
  const int baud = (data[0] & 1) ? 115200 : 9600;
  const std::span<const uint8_t> answers(data + 1, size - 1);
  Ds2480bBackend backend(std::make_unique<FuzzLink>(answers, (data[0] & 2) != 0),
                         Ds2480bOptions{"fuzz", baud, 1});
  std::string error;
  if (!backend.start(error)) return 0;
  for (int round = 0; round < 4; ++round) {
    try {
      backend.reset();
      backend.touchByte(0xCC);
      std::array<uint8_t, 20> block{0xE3, 0xF0, 0x00, 0xE3, 0xE3};
      backend.block(block);
      backend.search(Rom{0x2D});
      backend.search(Rom{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    } catch (const AdapterError&) {
    }
  }
  return 0;
}
