// The LMS templates as the front end names them.
#ifndef TEDSKIT_FRONTEND_LMS_NAMES_H
#define TEDSKIT_FRONTEND_LMS_NAMES_H

#include <cstdint>

namespace quillon {

// The form text of an LMS TEDS is just its template's name.
inline constexpr char kLmsFreeName[] = "LMS Free";
inline constexpr char kLmsGeometryName[] = "LMS Geometry";

inline constexpr int32_t kLmsFreeTemplateID = 117;
inline constexpr int32_t kLmsGeometryTemplateID = 118;

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_LMS_NAMES_H
