// The raw image conversions in the V1.0 state: the images travel to and from the V1.0
// engine instead of through template form text.
#include <array>
#include <cstring>
#include <string>

#include "common/result_codes.h"
#include "v10/v10_engine.h"

namespace dorvia {
namespace {

// Application register, then as much of the memory image as fits.
constexpr size_t kExchangeBufferSize = 2560;
std::array<uint8_t, kExchangeBufferSize> gExchangeBuffer{};

constexpr char kNoFormText[] = "";

}  // namespace

int32_t decodeRawV10(const std::string& oldTemplatePath, const void* memory, const void* appRegister,
                     bool byteForm, const char** formText, int32_t* valid) {
  *formText = kNoFormText;
  *valid = 0;
  // The engine takes whole images only; a hexadecimal text is not one.
  if (!byteForm) return kMissingArgument;
  if (setV10Images(static_cast<const uint8_t*>(appRegister), static_cast<const uint8_t*>(memory)) != 0)
    return kNoV10Engine;
  // The hand-over succeeded, so the engine is there.
  v10Engine()->setOLDTemplateFilename(oldTemplatePath.c_str());
  *valid = 1;
  return 0;
}

int32_t encodeImageV10(const char** image) {
  *image = nullptr;
  std::array<uint8_t, kTedsAppregSize> appreg{};
  std::array<uint8_t, kTedsMemorySize> memory{};
  if (getV10Images(appreg.data(), memory.data()) != 0) return kNoV10Engine;
  std::memcpy(gExchangeBuffer.data(), appreg.data(), appreg.size());
  std::memcpy(gExchangeBuffer.data() + appreg.size(), memory.data(), kExchangeBufferSize - appreg.size());
  *image = reinterpret_cast<const char*>(gExchangeBuffer.data());
  return 1;
}

}  // namespace dorvia
