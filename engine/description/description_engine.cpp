#include "description/description_engine.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>

#include "base/hex.h"
#include "base/page_checksum.h"
#include "common/result_codes.h"
#include "description/field_positions.h"
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

// Fills out from the first 2 * out.size() characters of text, which must all be hex
// digits; reading stops at the text's terminator, so a short text is refused rather
// than read past or padded.
bool decodeHex(const char* text, std::span<uint8_t> out) {
  return tedskit::base::readHexPrefix(text, out) == out.size();
}

// Loads the caller's image into the state. Every decode starts from a cleared buffer,
// so nothing of an earlier image shows through the bytes this one does not give.
bool loadImage(EngineState& state, const void* memory, const void* appRegister, bool byteForm) {
  std::array<uint8_t, kImageBufferSize> image{};
  std::array<uint8_t, 8> reg{};
  if (byteForm) {
    const auto* bytes = static_cast<const uint8_t*>(memory);
    // Without a valid checksum byte the memory starts at byte 1.
    const bool checked = tedskit::base::checksumPasses(std::span(bytes, 32));
    std::memcpy(image.data() + (checked ? 0 : 1), bytes, kMemoryBytes);
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
  const std::string hex = tedskit::base::toHex(std::span(state.encodedImage).first(32));
  std::memcpy(state.encodedHex.data(), hex.c_str(), hex.size() + 1);
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
