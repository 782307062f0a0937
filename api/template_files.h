// The template files a TEDS is read by: which V1.0 template file the TDL engine loads,
// and the checks that keep a file that does not parse from being used half-read.
#ifndef TEDSKIT_API_TEMPLATE_FILES_H
#define TEDSKIT_API_TEMPLATE_FILES_H

#include <filesystem>
#include <istream>
#include <string>

namespace teds {

inline constexpr char kV10TemplateFileName[] = "ieee_temp_v10.tdl";
inline constexpr char kMtsTemplateFileName[] = "MTS-SWIFT.tdl";

// The TDL engine is loaded once per process, so its file is one choice for the process:
// the given file, or else the template directory's, or else the fallback's (the tool's
// shipped data). Without a choice the template directory's file is loaded.
void chooseV10TemplateFile(std::filesystem::path file, std::filesystem::path fallbackDir);
std::filesystem::path v10TemplateFile(const std::filesystem::path& templatesDir);
// The MTS template file: the template directory's, else the fallback's; empty when
// neither holds one.
std::filesystem::path mtsTemplateFile(const std::filesystem::path& templatesDir);

// What the TDL reader printed, as "FILE:LINE: message" (its statements are counted by
// line feeds, so a statement number is the line) or "FILE: message".
std::string tdlFault(const std::filesystem::path& file, const std::string& printed);

// The first line (from 1) of a manufacturer list that is not blank, a "*" comment, the
// end marker or an ID with a quoted name; 0 when there is none.
int firstBadManufacturerLine(std::istream& list);

// Throws Failure "FILE:LINE: ..." at that line of the template directory's manufacturer
// list. A missing file is no fault: the built-in names stand in for it.
void checkManufacturerList(const std::filesystem::path& templatesDir);

}  // namespace teds

#endif
