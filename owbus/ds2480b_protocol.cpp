#include "ds2480b_protocol.h"

namespace owbus::ds2480b {

std::optional<uint8_t> baudCode(int baud) {
  for (size_t i = 0; i < kBaudRates.size(); ++i) {
    if (kBaudRates[i] == baud) return static_cast<uint8_t>(i);
  }
  return std::nullopt;
}

std::optional<ResetAnswer> decodeResetAnswer(uint8_t answer) {
  if ((answer & 0xC0) != 0xC0) return std::nullopt;
  static constexpr ResetResult kStates[] = {ResetResult::Short, ResetResult::Presence, ResetResult::Alarm,
                                            ResetResult::NoPresence};
  return ResetAnswer{kStates[answer & 3], (answer >> 2) & 7, (answer & 0x20) != 0};
}

uint8_t encodeResetAnswer(ResetResult result, int revision, bool programmingVoltage) {
  uint8_t state = 3;
  switch (result) {
    case ResetResult::Short:
      state = 0;
      break;
    case ResetResult::Presence:
      state = 1;
      break;
    case ResetResult::Alarm:
      state = 2;
      break;
    case ResetResult::NoPresence:
      break;
  }
  return static_cast<uint8_t>(0xC0 | (programmingVoltage ? 0x20 : 0) | ((revision & 7) << 2) | state);
}

void appendData(std::vector<uint8_t>& out, std::span<const uint8_t> data) {
  for (uint8_t b : data) {
    out.push_back(b);
    if (b == kCommandMode) out.push_back(b);
  }
}

std::array<uint8_t, 16> packSearch(const Rom& preferred) {
  std::array<uint8_t, 16> out{};
  for (size_t bit = 0; bit < 64; ++bit) {
    if ((preferred[bit / 8] >> (bit % 8)) & 1) out[bit / 4] |= static_cast<uint8_t>(0x02 << (2 * (bit % 4)));
  }
  return out;
}

SearchPass unpackSearch(std::span<const uint8_t, 16> answer) {
  SearchPass pass;
  for (size_t bit = 0; bit < 64; ++bit) {
    const uint8_t pair = static_cast<uint8_t>(answer[bit / 4] >> (2 * (bit % 4)));
    pass.discrepancy[bit] = (pair & 1) != 0;
    if (pair & 2) pass.rom[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
  }
  return pass;
}

bool preferredBit(std::span<const uint8_t, 16> request, size_t bit) {
  return (request[bit / 4] >> (2 * (bit % 4) + 1)) & 1;
}

void setAnswerBit(std::span<uint8_t, 16> answer, size_t bit, bool discrepancy, bool chosen) {
  const int shift = 2 * static_cast<int>(bit % 4);
  answer[bit / 4] =
      static_cast<uint8_t>((answer[bit / 4] & ~(3 << shift)) | ((discrepancy ? 1 : 0) << shift) |
                           ((chosen ? 1 : 0) << (shift + 1)));
}

}  // namespace owbus::ds2480b
