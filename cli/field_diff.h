// What a write changes, field by field: the TEDS on the chip against the one to write.
#ifndef TEDSKIT_CLI_FIELD_DIFF_H
#define TEDSKIT_CLI_FIELD_DIFF_H

#include <filesystem>
#include <string>

#include "image.h"

namespace teds {

// Lines "  LABEL: OLD -> NEW" for every field that differs (a field only one side has
// shows "-" on the other), after a line that says what the chip holds now.
std::string fieldDiff(const std::filesystem::path& templatesDir, const TedsImage& now,
                      const TedsImage& wanted);

}  // namespace teds

#endif
