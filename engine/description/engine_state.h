// The description engine's process-wide state: the last decoded image and texts, and
// the last encoded image. Returned pointers point into it.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_ENGINE_STATE_H
#define TEDSKIT_ENGINE_DESCRIPTION_ENGINE_STATE_H

#include <array>
#include <cstdint>
#include <string>

#include "description/description_encode.h"

namespace dorvia {

constexpr std::size_t kImageBufferSize = 2560;

struct EngineState {
  std::array<uint8_t, 8> appRegister{};
  std::array<uint8_t, kImageBufferSize> image{};
  int32_t selector = 0;
  int32_t templateID = 0;
  int32_t valid = 0;
  std::string description;
  std::string formText;
  std::array<uint8_t, kEncodedImageSize> encodedImage{};
  std::array<char, 65> encodedHex{};
};

EngineState& engineState();

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_ENGINE_STATE_H
