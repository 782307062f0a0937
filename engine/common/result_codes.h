// Result codes that the exports of several parts of the engine give back, by the names
// the public header gives them.
#ifndef TEDSKIT_ENGINE_COMMON_RESULT_CODES_H
#define TEDSKIT_ENGINE_COMMON_RESULT_CODES_H

#include <cstdint>

#include "base/guard.h"
#include "tedskit/dorvia.h"

namespace dorvia {

using tedskit::base::guard;

constexpr int32_t kMissingArgument = DORVIA_ERR_MISSING_ARGUMENT;
constexpr int32_t kNotFilled = DORVIA_ERR_NOT_FILLED;
constexpr int32_t kLabelNotFound = DORVIA_ERR_LABEL_NOT_FOUND;
constexpr int32_t kBufferTooSmall = DORVIA_ERR_BUFFER_TOO_SMALL;
constexpr int32_t kNotThreeParts = DORVIA_ERR_NOT_THREE_PARTS;
constexpr int32_t kFileNotOpened = DORVIA_ERR_FILE_NOT_OPENED;
constexpr int32_t kTemplateNotFound = DORVIA_ERR_TEMPLATE_NOT_FOUND;

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_COMMON_RESULT_CODES_H
