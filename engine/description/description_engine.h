// The description engine: raw images <-> template form text through the template
// description files. Returned texts and images point into the engine's state.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_ENGINE_H
#define TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_ENGINE_H

#include <cstdint>
#include <string>

namespace dorvia {

// Decodes a memory image (513 bytes, or 80 hexadecimal digits) and its application
// register (8 bytes, or 16 digits) against the description file its selector names.
// Returns the selector (0 or 1) with *formText set and *valid 1; -739 for hexadecimal
// input that is short or not hexadecimal; -11 or -12 when the template is not found;
// 1 or 2 when its description is faulty. The pointers must not be null.
int32_t decodeImageToForm(const char* templateDir, const void* memory, const void* appRegister, bool byteForm,
                          const char** formText, int32_t* valid);

// Encodes form text against the template of the last decode into a 128-byte image
// (*image points at it), or at its first 32 bytes as 64 hexadecimal digits. Returns 0
// or the encoder's failure code. The pointers must not be null.
int32_t encodeFormToImage(const char* formText, const char** image, bool byteForm);

// The form text of a template of the file at path decoded from an all-zero image; the
// engine's own decode state is left alone. 0, or the lookup's or decoder's failure.
int32_t blankTemplateForm(const std::string& path, int32_t templateID, std::string& form);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_ENGINE_H
