// The LMS templates as the front end names them.
#pragma once

#include <cstdint>

namespace quillon {

// The form text of an LMS TEDS is just its template's name.
inline constexpr char kLmsFreeName[] = "LMS Free";
inline constexpr char kLmsGeometryName[] = "LMS Geometry";

inline constexpr int32_t kLmsFreeTemplateID = 117;
inline constexpr int32_t kLmsGeometryTemplateID = 118;

}  // namespace quillon
