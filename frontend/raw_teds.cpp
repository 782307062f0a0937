// Decoding and encoding raw images: the engine for standard and manufacturer
// templates, pellam for the two LMS templates.
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "c_boundary.h"
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

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

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
  const auto* text = static_cast<const char*>(memory);
  for (std::size_t i = 0; i < copy.size(); ++i) {
    const int high = hexDigit(text[2 * i]);
    if (high < 0) break;
    const int low = hexDigit(text[2 * i + 1]);
    if (low < 0) break;
    copy[i] = static_cast<uint8_t>(high << 4 | low);
  }
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

void writeHex(char* buffer, std::size_t bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // From the last byte back, so that no byte is overwritten before it is read.
  buffer[2 * bytes] = '\0';
  for (std::size_t i = bytes; i-- > 0;) {
    const auto byte = static_cast<uint8_t>(buffer[i]);
    buffer[2 * i] = kDigits[byte >> 4];
    buffer[2 * i + 1] = kDigits[byte & 0xF];
  }
}

// Only an LMS encode takes a result buffer: the engine hands out its own image.
int32_t encode(const char* formText, const char** image, bool byteForm) {
  const std::string_view text(formText);
  const bool free = text == kLmsFreeName;
  if (!free && text != kLmsGeometryName) {
    return DORVIA_EncodeTemplateFormToRawTEDS(formText, image, byteForm ? 1 : 0);
  }
  char* buffer = state().buffers.allocate(kImageBufferSize);
  auto* bytes = reinterpret_cast<uint8_t*>(buffer);
  const int32_t result = free ? PELLAM_EncodeFreeTEDS(bytes) : PELLAM_EncodeGeometryTEDS(bytes);
  if (!byteForm) writeHex(buffer, PELLAM_IMAGE_SIZE);
  *image = buffer;
  return result;
}

}  // namespace

}  // namespace quillon

using namespace quillon;

extern "C" {

QUILLON_API int32_t QUILLON_DecodeRAWTedsToTemplateForm(const char* templateDir, const void* memory,
                                                        const void* appRegister, int32_t byteForm,
                                                        const char** formText, int32_t* valid,
                                                        int32_t lmsName) {
  if (memory == nullptr || appRegister == nullptr || formText == nullptr || valid == nullptr) {
    return QUILLON_ERR_MISSING_ARGUMENT;
  }
  return guarded(
      [&] { return decode(templateDir, memory, appRegister, byteForm != 0, formText, valid, lmsName != 0); });
}

QUILLON_API int32_t QUILLON_EncodeTemplateFormToRawTEDS(const char* formText, const char** image,
                                                        int32_t byteForm) {
  if (formText == nullptr || image == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  return guarded([&] { return encode(formText, image, byteForm != 0); });
}

}  // extern "C"
