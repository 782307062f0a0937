// Where the TDL engine finds things in a memory image, shared by decoding and writing.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_TDL_IMAGE_LAYOUT_H
#define TEDSKIT_ENGINE_TEDS_INFO_TDL_IMAGE_LAYOUT_H

#include <cstdint>

#include "base/fixed_meanings.h"

namespace tdl_image {

inline constexpr int32_t kSelectorStartBit = 8;
inline constexpr int32_t kTemplateDataStartBit = 18;
inline constexpr int kSelectorBits = 2;
inline constexpr int kTemplateIDBits = 8;
// The MTS template is stored as selector 1 with template ID 4.
inline constexpr uint32_t kMtsSelector = tedskit::base::kMtsStoredSelector;
inline constexpr uint32_t kMtsStoredID = tedskit::base::kMtsStoredTemplate;
inline constexpr uint32_t kUserDataMark = 7;  // three bits that announce 7-bit text
inline constexpr int kUserDataMarkBits = 3;
// The same three bits when the stream ends at the end selector (1 1, then zeros).
inline constexpr uint32_t kEndWithoutUserData = 3;
inline constexpr int kUserCharacterBits = 7;

}  // namespace tdl_image

#endif  // TEDSKIT_ENGINE_TEDS_INFO_TDL_IMAGE_LAYOUT_H
