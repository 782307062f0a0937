// Raw image <-> template form text, in the engine the switch has picked.
#include "common/result_codes.h"
#include "description/description_engine.h"
#include "description/description_file.h"
#include "engine_switch.h"
#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"

using namespace dorvia;

namespace {

int32_t decode(const char* templateDir, const void* memory, const void* appRegister, int32_t byteForm,
               const char** formText, int32_t* valid) {
  if (memory == nullptr || appRegister == nullptr || valid == nullptr || formText == nullptr) {
    return kMissingArgument;
  }
  if (v10StateOn()) {
    return decodeRawV10(standardDescriptionPath(templateDir), memory, appRegister, byteForm != 0, formText,
                        valid);
  }
  return decodeImageToForm(templateDir, memory, appRegister, byteForm != 0, formText, valid);
}

int32_t encode(const char* formText, const char** image, int32_t byteForm) {
  if (image == nullptr) return kMissingArgument;
  // The V1.0 engine encodes from its field array; the text is not read.
  if (v10StateOn()) return encodeImageV10(image);
  if (formText == nullptr) return kMissingArgument;
  return encodeFormToImage(formText, image, byteForm != 0);
}

}  // namespace

extern "C" {

DORVIA_API int32_t DORVIA_DecodeRawTEDSToTemplateForm(const char* templateDir, const void* memory,
                                                      const void* appRegister, int32_t byteForm,
                                                      const char** formText, int32_t* valid) {
  return guard(kMissingArgument,
               [&] { return decode(templateDir, memory, appRegister, byteForm, formText, valid); });
}

DORVIA_API int32_t DORVIA_EncodeTemplateFormToRawTEDS(const char* formText, const char** image,
                                                      int32_t byteForm) {
  return guard(kMissingArgument, [&] { return encode(formText, image, byteForm); });
}

}  // extern "C"
