// The one V1.0 (TDL) engine of the process and the V1.0 branches of the conversions.
#ifndef TEDSKIT_ENGINE_V10_V10_ENGINE_H
#define TEDSKIT_ENGINE_V10_V10_ENGINE_H

#include <cstdint>
#include <string>

#include "tedskit/tedsinfo.hpp"

namespace dorvia {

inline constexpr int32_t kNoV10Engine = -1;

// The engine, or null before the first switch to the V1.0 state.
inline CTEDSInfo* v10Engine() { return gTedsinfoptr; }

// The engine when its templates loaded, else null: what the image hand-over needs.
CTEDSInfo* loadedV10Engine();

// Creates the engine, kept until the library unloads, and loads its template file.
// 0 when it is already there; else the loader's result.
int32_t createV10Engine();

// The images handed to and taken from a loaded engine: 8 bytes of application
// register, 2568 of memory. 0, or -1 without a loaded engine or with a null image.
int32_t setV10Images(const uint8_t* appRegister, const uint8_t* memory);
int32_t getV10Images(uint8_t* appRegister, uint8_t* memory);

// DORVIA_DecodeRawTEDSToTemplateForm in the V1.0 state: hands the images (bytes only:
// 8 of application register, 2568 of memory) to the engine, and the path of the
// standard description file as its old-template file. No form text: *formText is the
// empty text. 0, or -739 for hexadecimal input, or -1 without a loaded engine.
int32_t decodeRawV10(const std::string& oldTemplatePath, const void* memory, const void* appRegister,
                     bool byteForm, const char** formText, int32_t* valid);

// DORVIA_EncodeTemplateFormToRawTEDS in the V1.0 state: *image is the 2560-byte
// exchange buffer (application register, then the first 2552 memory bytes). 1, or -1
// without a loaded engine.
int32_t encodeImageV10(const char** image);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_V10_V10_ENGINE_H
