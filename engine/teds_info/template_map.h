// The fixed relation between the old template numbers 0 to 24 and an IEEE
// template ID with the select-case values that stand for them, plus the rows that
// give templates 33, 39 and the MTS template their select-case record, and the
// records of the standard templates that have no old number.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_TEMPLATE_MAP_H
#define TEDSKIT_ENGINE_TEDS_INFO_TEMPLATE_MAP_H

#include <array>
#include <cstdint>
#include <optional>

#include "base/fixed_meanings.h"
#include "tedskit/records.h"

namespace dorvia {

inline constexpr int32_t kMtsTemplateID = tedskit::base::kMtsTemplate;
inline constexpr int32_t kOldTemplateCount =
    tedskit::base::kLastOldTemplate + 1;  // old template numbers 0 to 24

struct OldTemplateRow {
  int32_t templateID;  // -1: no template
  sccontrolstruct scc;
};

extern const std::array<OldTemplateRow, 28> oldTemplateMap;

// Standard templates without an old number: searched after oldTemplateMap, never
// named by an old template number.
extern const std::array<OldTemplateRow, 8> standardTemplateRows;

// Templates whose select cases of three or more cases are chosen by the user.
bool hasUserChosenSelectCases(int32_t templateID);

// The select-case record of the first row with this template ID (oldTemplateMap,
// then standardTemplateRows): count, cursor and the first count values, else 0.
std::optional<sccontrolstruct> findFirstMatchingSCC(int32_t templateID);

// The first row whose template ID matches and whose first count values equal those
// of the given record; -1 when none does.
int32_t findMatchingOldTemplate(int32_t templateID, const sccontrolstruct& scc);

// Rows 0 to 24: the row's template ID. IDs from 25 on: 1 when the ID has a row with a
// value already chosen, else -1.
int32_t alternateTemplate(int32_t n);

}  // namespace dorvia

#endif
