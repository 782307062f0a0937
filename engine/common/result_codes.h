// Result codes that the exports of several parts of the engine give back.
#ifndef TEDSKIT_ENGINE_COMMON_RESULT_CODES_H
#define TEDSKIT_ENGINE_COMMON_RESULT_CODES_H

#include <cstdint>

namespace dorvia {

constexpr int32_t kMissingArgument = -739;
constexpr int32_t kNotFilled = -53;
constexpr int32_t kLabelNotFound = -894;
constexpr int32_t kBufferTooSmall = -21;
constexpr int32_t kNotThreeParts = -83;

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_COMMON_RESULT_CODES_H
