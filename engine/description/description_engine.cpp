#include "description/description_engine.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>

#include "common/result_codes.h"
#include "description/bit_field.h"
#include "description/description_decode.h"
#include "description/description_encode.h"
#include "description/description_file.h"
#include "description/engine_state.h"

namespace dorvia {

EngineState& engineState() {
  static EngineState state;
  return state;
}

namespace {

constexpr std::size_t kMemoryBytes = 513;
constexpr std::size_t kHexMemoryBytes = 40;
constexpr int64_t kManufacturerPosition = 8;
constexpr int64_t kSelectorPosition = 72;
constexpr int64_t kTemplateIDPosition = 74;

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Fills out from the first 2 * out.size() characters of text, which must all be hex
// digits; reading stops at the text's terminator, so a short text is refused rather
// than read past or padded.
bool decodeHex(const char* text, std::span<uint8_t> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int high = hexDigit(text[2 * i]);
    if (high < 0) return false;
    const int low = hexDigit(text[2 * i + 1]);
    if (low < 0) return false;
    out[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

// Loads the caller's image into the state. Every decode starts from a cleared buffer,
// so nothing of an earlier image shows through the bytes this one does not give.
bool loadImage(EngineState& state, const void* memory, const void* appRegister, bool byteForm) {
  std::array<uint8_t, kImageBufferSize> image{};
  std::array<uint8_t, 8> reg{};
  if (byteForm) {
    const auto* bytes = static_cast<const uint8_t*>(memory);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 32; ++i) sum += bytes[i];
    // Without a valid checksum byte the memory starts at byte 1.
    std::memcpy(image.data() + ((sum & 0xFF) == 0 ? 0 : 1), bytes, kMemoryBytes);
    std::memcpy(reg.data(), appRegister, reg.size());
  } else {
    if (!decodeHex(static_cast<const char*>(memory), std::span(image).first(kHexMemoryBytes)) ||
        !decodeHex(static_cast<const char*>(appRegister), reg)) {
      return false;
    }
  }
  state.image = image;
  state.appRegister = reg;
  return true;
}

}  // namespace

int32_t decodeImageToForm(const char* templateDir, const void* memory, const void* appRegister, bool byteForm,
                          const char** formText, int32_t* valid) {
  EngineState& state = engineState();
  *formText = nullptr;
  *valid = 0;
  state.valid = 0;
  if (!loadImage(state, memory, appRegister, byteForm)) return kMissingArgument;
  state.valid = 1;

  state.selector = static_cast<int32_t>(readBits(state.image, kSelectorPosition, 2));
  state.templateID = static_cast<int32_t>(readBits(state.image, kTemplateIDPosition, 8));
  std::string path;
  if (state.selector == 0) {
    path = standardDescriptionPath(templateDir);
  } else if (state.selector == 1) {
    const auto manufacturer = static_cast<int32_t>(readBits(state.image, kManufacturerPosition, 12));
    path = manufacturerDescriptionPath(templateDir, manufacturer);
  } else {
    // Selectors 2 and 3 name no description file: there is no template to find.
    state.valid = 0;
    return kTemplateNotFound;
  }
  const int32_t found = findTemplate(path, state.templateID, state.description);
  if (found != 0) {
    state.valid = 0;
    return found;
  }
  state.formText.clear();
  const int32_t decoded =
      decodeAgainstDescription(state.description, state.image, state.templateID, state.formText);
  if (decoded != 0) {
    state.valid = 0;
    return decoded;
  }
  *formText = state.formText.c_str();
  *valid = 1;
  return state.selector;
}

int32_t encodeFormToImage(const char* formText, const char** image, bool byteForm) {
  EngineState& state = engineState();
  *image = nullptr;
  const int32_t result = encodeFormText(formText, state.templateID, state.encodedImage);
  if (result != 0) return result;
  if (byteForm) {
    *image = reinterpret_cast<const char*>(state.encodedImage.data());
    return 0;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < 32; ++i) {
    state.encodedHex[2 * i] = kDigits[state.encodedImage[i] >> 4];
    state.encodedHex[2 * i + 1] = kDigits[state.encodedImage[i] & 0xF];
  }
  state.encodedHex[64] = '\0';
  *image = state.encodedHex.data();
  return 0;
}

int32_t blankTemplateForm(const std::string& path, int32_t templateID, std::string& form) {
  std::string description;
  const int32_t found = findTemplate(path, templateID, description);
  if (found != 0) return found;
  static const std::array<uint8_t, kImageBufferSize> kEmptyImage{};
  return decodeAgainstDescription(description, kEmptyImage, templateID, form);
}

}  // namespace dorvia
