// Encoding template form text into a 128-byte image.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_ENCODE_H
#define TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_ENCODE_H

#include <array>
#include <cstdint>
#include <string_view>

namespace dorvia {

constexpr std::size_t kEncodedImageSize = 128;

// Fills image from the form text. templateID is the engine's current template ID: a
// "selector" line of width 8 replaces it, and 24 packs "ASCII" fields in 7 bits.
// Returns 0; 1 for a line starting with an unknown word (after printing "Error\n");
// 2 for a field line whose label, access code or type is not quoted; 3 when the text
// ends before "EndTemplate".
int32_t encodeFormText(std::string_view form, int32_t& templateID,
                       std::array<uint8_t, kEncodedImageSize>& image);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_ENCODE_H
