// The LMS templates as the front end names them.
#ifndef TEDSKIT_FRONTEND_LMS_NAMES_H
#define TEDSKIT_FRONTEND_LMS_NAMES_H

#include <cstdint>

#include "base/fixed_meanings.h"

namespace quillon {

// The form text of an LMS TEDS is just its template's name.
inline constexpr char kLmsFreeName[] = "LMS Free";
inline constexpr char kLmsGeometryName[] = "LMS Geometry";

inline constexpr int32_t kLmsFreeTemplateID = tedskit::base::kLmsFreeFormatTemplate;
inline constexpr int32_t kLmsGeometryTemplateID = tedskit::base::kLmsGeometryTemplate;

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_LMS_NAMES_H
