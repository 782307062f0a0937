#include "paths.h"

namespace quillon {

namespace {

// A trailing separator of the directory is dropped; an empty directory means the
// current one, so the file name is used on its own.
std::string inDirectory(const char* templateDir, const std::string& name) {
  std::string dir = templateDir != nullptr ? templateDir : "";
  if (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir.empty() ? name : dir + "/" + name;
}

}  // namespace

std::string standardDescriptionFile(const char* templateDir) {
  return inDirectory(templateDir, "TemplateDescription.txt");
}

std::string manufacturerDescriptionFile(const char* templateDir, int32_t manufacturerID) {
  return inDirectory(templateDir, std::to_string(manufacturerID) + "_TemplateDescription.txt");
}

std::string manufacturerFile(const char* templateDir) { return inDirectory(templateDir, "Manufacture.txt"); }

}  // namespace quillon
