// Decoding and encoding raw images: the engine for standard and manufacturer
// templates, pellam for the two LMS templates.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/guard.h"
#include "base/hex.h"
#include "lms_names.h"
#include "state.h"
#include "tedskit/dorvia.h"
#include "tedskit/pellam.h"
#include "tedskit/quillon.h"

namespace quillon {

namespace {

// Hex input gives the LMS decoders at most 96 digits.
constexpr std::size_t kHexCopyBytes = 48;
// Room for the LMS name texts handed out.
constexpr std::size_t kNameBufferSize = 5120;
constexpr std::size_t kImageBufferSize = 2560;

using LmsCopy = std::array<uint8_t, kHexCopyBytes>;

// The memory as the LMS decoders see it: an LMS image has no checksum byte, so it is
// taken from byte 0. Byte input holds at least the engine's minimum, far more than the
// 32 bytes of an LMS image; hex input is decoded only as far as its digits go, and
// what it lacks stays zero.
LmsCopy lmsCopy(const void* memory, bool byteForm) {
  LmsCopy copy{};
  if (byteForm) {
    std::memcpy(copy.data(), memory, PELLAM_IMAGE_SIZE);
    return copy;
  }
  tedskit::base::readHexPrefix(static_cast<const char*>(memory), copy);
  return copy;
}

// The name of the LMS template the memory holds, or nothing.
const char* recognisedLmsTemplate(const LmsCopy& copy) {
  if (PELLAM_DecodeFreeTEDS(copy.data()) == 1) return kLmsFreeName;
  if (PELLAM_DecodeGeometryLMSTeds(copy.data()) == 1) return kLmsGeometryName;
  return nullptr;
}

const char* nameBuffer(const char* name) {
  char* buffer = state().buffers.allocate(kNameBufferSize);
  std::strcpy(buffer, name);
  return buffer;
}

int32_t decode(const char* templateDir, const void* memory, const void* appRegister, bool byteForm,
               const char** formText, int32_t* valid, bool lmsName) {
  // The engine leaves the caller's flag alone on some failures; start from "not valid".
  *valid = 0;
  const int32_t engineResult =
      DORVIA_DecodeRawTEDSToTemplateForm(templateDir, memory, appRegister, byteForm ? 1 : 0, formText, valid);
  const char* lms = recognisedLmsTemplate(lmsCopy(memory, byteForm));
  if (*valid != 0) {
    if (lms == nullptr) {
      state().savedKind = engineResult;
      return 0;
    }
    if (lmsName) *formText = nameBuffer(lms);
    *valid = 1;
    return 1;
  }
  if (lms == nullptr) return QUILLON_ERR_NOT_DECODED;
  *formText = nameBuffer(lms);
  *valid = 1;
  return 0;
}

// Only an LMS encode takes a result buffer: the engine hands out its own image.
int32_t encode(const char* formText, const char** image, bool byteForm) {
  const std::string_view text(formText);
  const bool free = text == kLmsFreeName;
  if (!free && text != kLmsGeometryName) {
    return DORVIA_EncodeTemplateFormToRawTEDS(formText, image, byteForm ? 1 : 0);
  }
  std::array<uint8_t, PELLAM_IMAGE_SIZE> lms{};
  const int32_t result = free ? PELLAM_EncodeFreeTEDS(lms.data()) : PELLAM_EncodeGeometryTEDS(lms.data());
  char* buffer = state().buffers.allocate(kImageBufferSize);
  if (byteForm) {
    std::memcpy(buffer, lms.data(), lms.size());
  } else {
    const std::string hex = tedskit::base::toHex(lms);
    std::memcpy(buffer, hex.c_str(), hex.size() + 1);
  }
  *image = buffer;
  return result;
}

int32_t decodeChecked(const char* templateDir, const void* memory, const void* appRegister, int32_t byteForm,
                      const char** formText, int32_t* valid, int32_t lmsName) {
  if (memory == nullptr || appRegister == nullptr || formText == nullptr || valid == nullptr) {
    return QUILLON_ERR_MISSING_ARGUMENT;
  }
  return decode(templateDir, memory, appRegister, byteForm != 0, formText, valid, lmsName != 0);
}

int32_t encodeChecked(const char* formText, const char** image, int32_t byteForm) {
  if (formText == nullptr || image == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  return encode(formText, image, byteForm != 0);
}

}  // namespace

}  // namespace quillon

using namespace quillon;

extern "C" {

QUILLON_API int32_t QUILLON_DecodeRAWTedsToTemplateForm(const char* templateDir, const void* memory,
                                                        const void* appRegister, int32_t byteForm,
                                                        const char** formText, int32_t* valid,
                                                        int32_t lmsName) {
  return tedskit::base::guard(QUILLON_ERR_MISSING_ARGUMENT, [&] {
    return decodeChecked(templateDir, memory, appRegister, byteForm, formText, valid, lmsName);
  });
}

QUILLON_API int32_t QUILLON_EncodeTemplateFormToRawTEDS(const char* formText, const char** image,
                                                        int32_t byteForm) {
  return tedskit::base::guard(QUILLON_ERR_MISSING_ARGUMENT,
                              [&] { return encodeChecked(formText, image, byteForm); });
}

}  // extern "C"
