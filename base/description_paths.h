// The files a template directory holds, as the engine and the front end both open them.
// One rule for the directory: null or empty is the current directory (the bare file
// name), one trailing '/' or '\' is dropped, and "/" is the root.
#ifndef TEDSKIT_BASE_DESCRIPTION_PATHS_H
#define TEDSKIT_BASE_DESCRIPTION_PATHS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace tedskit::base {

inline constexpr std::string_view kDescriptionFileName = "TemplateDescription.txt";
inline constexpr std::string_view kManufacturerListName = "Manufacture.txt";

// "<dir>/<name>" by the rule above.
std::string fileInDirectory(const char* dir, std::string_view name);

// "<dir>/TemplateDescription.txt"
std::string standardDescriptionPath(const char* dir);
// "<dir>/<manufacturerID>_TemplateDescription.txt"
std::string manufacturerDescriptionPath(const char* dir, int32_t manufacturerID);
// "<dir>/Manufacture.txt"
std::string manufacturerListPath(const char* dir);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_DESCRIPTION_PATHS_H
