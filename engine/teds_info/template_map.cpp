#include "teds_info/template_map.h"

#include <algorithm>
#include <span>

namespace dorvia {
namespace {

constexpr OldTemplateRow row(int32_t id, int32_t count, std::array<int32_t, 5> values = {}) {
  OldTemplateRow r{id, sccontrolstruct{count, 0, {}}};
  for (size_t i = 0; i < values.size(); ++i) r.scc.values[i] = values[i];
  return r;
}

constexpr OldTemplateRow kNone = row(-1, 0);

}  // namespace

const std::array<OldTemplateRow, 28> oldTemplateMap = {{
    row(25, 3, {0, 0, 0}),
    row(25, 3, {0, 0, 1}),
    kNone,
    kNone,  // 0-3
    row(26, 3, {0, 0, 0}),
    row(26, 3, {1, 0, 0}),  // 4-5
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,  // 6-11
    row(27, 3, {0, 0, 0}),
    row(27, 3, {0, 0, 1}),
    kNone,
    kNone,  // 12-15
    row(28, 3, {0, 0, 0}),
    row(28, 5, {1, 0, 0, 0, 0}),  // 16-17
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,
    kNone,  // 18-24
    row(33, 2, {-1, -1}),
    row(39, 2, {-1, -1}),
    row(kMtsTemplateID, 0),  // 25-27
}};

// -1 stands for a case the user chooses; a record of no values for a template
// without select cases.
const std::array<OldTemplateRow, 8> standardTemplateRows = {{
    row(30, 3, {-1, -1, 0}),  // measurand, precision; excitation
    row(31, 3, {-1, 0, 0}),   // measurand; precision, power supply
    row(32, 2, {-1, -1}),     // measurand, precision
    row(34, 2, {-1, 0}),      // measurand; precision
    row(35, 0),
    row(36, 0),
    row(37, 2, {-1, -1}),  // resistance at 0 degC, curve
    row(38, 0),
}};

namespace {

std::optional<sccontrolstruct> recordOf(int32_t templateID, std::span<const OldTemplateRow> rows) {
  for (const OldTemplateRow& r : rows) {
    if (r.templateID != templateID) continue;
    sccontrolstruct copy{r.scc.count, r.scc.current, {}};
    std::copy_n(r.scc.values, std::clamp(r.scc.count, 0, 16), copy.values);
    return copy;
  }
  return std::nullopt;
}

}  // namespace

std::optional<sccontrolstruct> findFirstMatchingSCC(int32_t templateID) {
  if (templateID == -1) return std::nullopt;  // -1 marks the rows without a template
  if (auto scc = recordOf(templateID, oldTemplateMap)) return scc;
  return recordOf(templateID, standardTemplateRows);
}

bool hasUserChosenSelectCases(int32_t templateID) {
  switch (templateID) {
    case 30:
    case 31:
    case 32:
    case 33:
    case 34:
    case 37:
    case 39:
      return true;
    default:
      return false;
  }
}

int32_t findMatchingOldTemplate(int32_t templateID, const sccontrolstruct& scc) {
  if (templateID == -1) return -1;
  for (size_t i = 0; i < oldTemplateMap.size(); ++i) {
    const OldTemplateRow& r = oldTemplateMap[i];
    if (r.templateID != templateID) continue;
    const int count = std::clamp(r.scc.count, 0, 16);
    if (std::equal(r.scc.values, r.scc.values + count, scc.values)) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t alternateTemplate(int32_t n) {
  if (n < 0) return -1;
  if (n < kOldTemplateCount) return oldTemplateMap[static_cast<size_t>(n)].templateID;
  const std::optional<sccontrolstruct> scc = findFirstMatchingSCC(n);
  return scc && scc->values[0] != -1 ? 1 : -1;
}

}  // namespace dorvia
