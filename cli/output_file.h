// Writing a TEDS to the file --output names, in the form its suffix asks for: .ted a
// virtual TEDS file, .json the JSON form, anything else the tool's text.
#ifndef TEDSKIT_CLI_OUTPUT_FILE_H
#define TEDSKIT_CLI_OUTPUT_FILE_H

#include <filesystem>
#include <string>
#include <string_view>

#include "image.h"
#include "tedskit/tedskit.h"

namespace teds {

enum class OutputForm { Text, Json, Ted };

OutputForm outputFormOf(const std::string& path);

// Writes the whole content or throws Failure naming the file.
void writeOutputFile(const std::string& path, const std::string& content);

// The TEDS of an open handle in one form.
std::string encodedAs(const tedskit_teds* teds, OutputForm form);

// Notes of libtedskit, one a line, as "teds: note: ..." on standard error.
void printNotes(std::string_view notes);

// The whole JSON document of an image the tool holds, as teds decode --json prints it.
std::string imageDocumentJson(const TedsImage& image, const std::filesystem::path& templatesDir, bool forceV10);

// An image the tool holds, in the form the path's suffix names; JSON decodes it with the
// templates of templatesDir.
void writeImageFile(const std::string& path, const TedsImage& image,
                    const std::filesystem::path& templatesDir, bool forceV10);

}  // namespace teds

#endif
