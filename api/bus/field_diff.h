// What a write changes, field by field: the TEDS on the chip against the one to write.
#ifndef TEDSKIT_API_BUS_FIELD_DIFF_H
#define TEDSKIT_API_BUS_FIELD_DIFF_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image.h"

namespace teds {

struct FieldChange {
  std::string label;
  std::optional<std::string> before, after;  // as shown; none where that side lacks the field
};

struct FieldDiff {
  enum class Chip { Teds, Blank, Undecodable };
  std::optional<std::string> wantedUndecodable;  // why the TEDS to write does not decode
  Chip chip = Chip::Teds;                        // what the chip holds now
  std::string chipUndecodable;                   // why that does not decode
  int beforeTemplate = 0, afterTemplate = 0;
  // Every field that differs; with a chip that holds no TEDS, every field is new.
  std::vector<FieldChange> changes;
};

FieldDiff diffFields(const std::filesystem::path& templatesDir, const TedsImage& now, const TedsImage& wanted);

// Lines "  LABEL: OLD -> NEW" for every field that differs (a field only one side has
// shows "-" on the other), after a line that says what the chip holds now.
std::string fieldDiffText(const FieldDiff& diff);

inline std::string fieldDiff(const std::filesystem::path& templatesDir, const TedsImage& now,
                             const TedsImage& wanted) {
  return fieldDiffText(diffFields(templatesDir, now, wanted));
}

}  // namespace teds

#endif
