// Form text and tagged field arrays, dispatched by template: the LMS templates to
// pellam, every other template to the engine.
#include <string>
#include <string_view>

#include "base/description_paths.h"
#include "base/fixed_field.h"
#include "base/guard.h"
#include "engine_format.h"
#include "lms_names.h"
#include "state.h"
#include "tedskit/dorvia.h"
#include "tedskit/pellam.h"
#include "tedskit/quillon.h"

namespace quillon {

namespace {

// An LMS array filled here is as complete as one the engine fills, so it is marked
// the same way; the field accessors refuse unmarked arrays.
int32_t fillLms(TEDSTemplateFieldArrayStruct& array, int32_t templateID, bool withValues) {
  const int32_t result = templateID == kLmsFreeTemplateID
                             ? PELLAM_FillFieldArrayStructWithFree(&array, withValues ? 1 : 0)
                             : PELLAM_FillFieldArrayStructWithGeometry(&array, withValues ? 1 : 0);
  array.validMarker = TEDS_FIELD_ARRAY_VALID;
  return result;
}

int32_t formToArray(const char* formText, TaggedFieldArray& tagged, bool withValues) {
  const std::string_view text(formText);
  if (text == kLmsGeometryName || text == kLmsFreeName) {
    tagged.kind = QUILLON_KIND_LMS;
    return fillLms(tagged.array, text == kLmsFreeName ? kLmsFreeTemplateID : kLmsGeometryTemplateID, true);
  }
  if (inV10State()) state().savedKind = QUILLON_KIND_STANDARD;
  tagged.kind = state().savedKind;
  return DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(formText, &tagged.array, withValues ? 1 : 0);
}

using LmsRead = int32_t (*)(const TEDSTemplateFieldArrayStruct*);

// The LMS name goes into the caller's buffer, the array's values into the LMS state. A
// form text is no use cut, so a buffer too small for it is left alone.
int32_t lmsArrayToForm(const TEDSTemplateFieldArrayStruct& array, std::string_view name, LmsRead read,
                       char* text, int32_t size) {
  if (size < 0 || !tedskit::base::copyOut(name, text, size, tedskit::base::TooSmall::Nothing)) {
    return QUILLON_ERR_BUFFER_TOO_SMALL;
  }
  return read(&array);
}

int32_t arrayToForm(TaggedFieldArray& tagged, char* text, int32_t size) {
  if (tagged.kind == QUILLON_KIND_LMS) {
    if (tagged.array.templateID == kLmsFreeTemplateID) {
      return lmsArrayToForm(tagged.array, kLmsFreeName, PELLAM_ReadFreeFieldArrayStruct, text, size);
    }
    if (tagged.array.templateID == kLmsGeometryTemplateID) {
      return lmsArrayToForm(tagged.array, kLmsGeometryName, PELLAM_ReadGeometryFieldArrayStruct, text, size);
    }
  }
  return DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(&tagged.array, text, size);
}

int32_t setTemplate(TEDSTemplateFieldArrayStruct& array, const char* templateDir, int32_t kind,
                    int32_t templateID, int32_t manufacturerID) {
  std::string path;
  switch (kind) {
    case QUILLON_KIND_STANDARD:
      path = tedskit::base::standardDescriptionPath(templateDir);
      break;
    case QUILLON_KIND_MANUFACTURER:
      path = tedskit::base::manufacturerDescriptionPath(templateDir, manufacturerID);
      break;
    case QUILLON_KIND_LMS:
      if (templateID == kLmsFreeTemplateID || templateID == kLmsGeometryTemplateID) {
        return fillLms(array, templateID, false);
      }
      path = templateDir != nullptr ? templateDir : "";
      break;
    default:
      return QUILLON_ERR_MISSING_ARGUMENT;
  }
  return DORVIA_SetTEDSFieldArrayStructToTemplate(path.c_str(), templateID, kind, manufacturerID, &array);
}

int32_t formToArrayChecked(const char* formText, TaggedFieldArray* array, int32_t withValues) {
  if (formText == nullptr || array == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  return formToArray(formText, *array, withValues != 0);
}

int32_t arrayToFormChecked(TaggedFieldArray* array, char* text, int32_t size) {
  if (array == nullptr || text == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  return arrayToForm(*array, text, size);
}

int32_t setTemplateChecked(TaggedFieldArray* array, const char* templateDir, int32_t kind, int32_t templateID,
                           int32_t manufacturerID) {
  if (array == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  return setTemplate(array->array, templateDir, kind, templateID, manufacturerID);
}

}  // namespace

}  // namespace quillon

using namespace quillon;
using tedskit::base::guard;

extern "C" {

QUILLON_API int32_t QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(const char* formText,
                                                                        TaggedFieldArray* array,
                                                                        int32_t withValues) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT, [&] { return formToArrayChecked(formText, array, withValues); });
}

QUILLON_API int32_t QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(TaggedFieldArray* array, char* text,
                                                                        int32_t size) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT, [&] { return arrayToFormChecked(array, text, size); });
}

QUILLON_API int32_t QUILLON_SetTEDSTemplate(TaggedFieldArray* array, const char* templateDir, int32_t kind,
                                            int32_t templateID, int32_t manufacturerID) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT,
               [&] { return setTemplateChecked(array, templateDir, kind, templateID, manufacturerID); });
}

}  // extern "C"
