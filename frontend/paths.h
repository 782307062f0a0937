// Names of the files the front end reads in a template directory.
#ifndef TEDSKIT_FRONTEND_PATHS_H
#define TEDSKIT_FRONTEND_PATHS_H

#include <cstdint>
#include <string>

namespace quillon {

// "<dir>/TemplateDescription.txt", or the bare name for an empty (or missing) directory.
std::string standardDescriptionFile(const char* templateDir);
// "<dir>/<manufacturerID>_TemplateDescription.txt".
std::string manufacturerDescriptionFile(const char* templateDir, int32_t manufacturerID);
// "<dir>/Manufacture.txt".
std::string manufacturerFile(const char* templateDir);

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_PATHS_H
