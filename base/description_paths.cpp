#include "base/description_paths.h"

namespace tedskit::base {

std::string fileInDirectory(const char* dir, std::string_view name) {
  std::string path = dir != nullptr ? dir : "";
  if (path.empty()) return std::string(name);
  // "/" loses its separator here and gets it back below: the root.
  if (path.back() == '/' || path.back() == '\\') path.pop_back();
  path += '/';
  path += name;
  return path;
}

std::string standardDescriptionPath(const char* dir) { return fileInDirectory(dir, kDescriptionFileName); }

std::string manufacturerDescriptionPath(const char* dir, int32_t manufacturerID) {
  return fileInDirectory(dir, std::to_string(manufacturerID) + "_" + std::string(kDescriptionFileName));
}

std::string manufacturerListPath(const char* dir) { return fileInDirectory(dir, kManufacturerListName); }

}  // namespace tedskit::base
