#include "chip_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace teds {

std::string busNameOf(const std::string& given) {
  const auto colon = given.find(':');
  const bool hasBackEnd = colon != std::string::npos && colon > 0 &&
                          std::all_of(given.begin(), given.begin() + static_cast<std::ptrdiff_t>(colon),
                                      [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
  return hasBackEnd || given == "usb" ? given : "sim:" + given;
}

std::string busShownName(const std::string& busName) {
  return busName.starts_with("sim:") ? busName.substr(4) : busName;
}

const tedskit::base::ChipModel& chipOf(int family) {
  namespace base = tedskit::base;
  static constexpr base::ChipModel kUnknown{0, "unknown chip", base::kMaxChipImage, base::kPage};
  const base::ChipModel* model = base::chipModel(family);
  return model != nullptr ? *model : kUnknown;
}

std::string familyText(int family) {
  // The switch of a triaxial sensor holds no TEDS, so it is no chip model of the table.
  const char* name = family == tedskit::base::kFamilyDs2406 ? "DS2406 switch" : chipOf(family).name;
  char text[48];
  std::snprintf(text, sizeof text, "%s (family %02Xh)", name, family & 0xFF);
  return text;
}

std::string chipName(int family) {
  const std::string text = familyText(family);
  return text.substr(0, text.find(" (family"));
}

}  // namespace teds
