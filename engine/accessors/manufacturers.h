// Manufacturer IDs and names: "Manufacture.txt" in the template directory, or the
// built-in table when that file cannot be opened.
#ifndef TEDSKIT_ENGINE_ACCESSORS_MANUFACTURERS_H
#define TEDSKIT_ENGINE_ACCESSORS_MANUFACTURERS_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dorvia {

using ManufacturerList = std::vector<std::pair<int32_t, std::string>>;

// The (ID, name) lines of a "Manufacture.txt" text, in file order, up to its first
// "EndTemplate" line; comment and malformed lines are passed over.
ManufacturerList parseManufacturerFile(std::string_view content);

// The name for an ID: from the file of the directory when it opens ("Unknown Manufacture"
// when it lacks the ID), else from the built-in table.
std::string manufacturerName(const char* templateDir, int32_t id);
// The ID carrying a name (case-insensitively), or -1.
int32_t manufacturerID(const char* templateDir, std::string_view name);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_ACCESSORS_MANUFACTURERS_H
