// Decoding an image against a template description into template form text.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_DECODE_H
#define TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_DECODE_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dorvia {

// Template 24 keeps its "ASCII" fields in 7-bit characters.
constexpr int32_t kSevenBitTemplateID = 24;

// Appends the form text to form. Returns 0; 1 when a field line is malformed or cut off,
// or the description ends before "EndTemplate"; 2 when a line starts with an unknown word
// (after printing "Error\n").
int32_t decodeAgainstDescription(std::string_view description, std::span<const uint8_t> image,
                                 int32_t templateID, std::string& form);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_DECODE_H
