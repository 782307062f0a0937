// Template description files: finding the template of a template ID and building its
// description text.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_FILE_H
#define TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_FILE_H

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "common/result_codes.h"

namespace dorvia {

// Template ID -> description text ("Template" line, body lines without their leading
// blanks, "EndTemplate"), for every template of a file that carries a selector line of
// width 8; the first template of an ID wins.
using DescriptionIndex = std::map<int32_t, std::string>;

DescriptionIndex indexDescriptionFile(std::string_view content);

// Looks up a template in the file at path (re-read only when the file has changed).
// Returns 0, -11 (after printing "The file %s was not opened\n") or -12.
int32_t findTemplate(const std::string& path, int32_t templateID, std::string& description);

std::string standardDescriptionPath(const char* templateDir);
std::string manufacturerDescriptionPath(const char* templateDir, int32_t manufacturerID);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_FILE_H
