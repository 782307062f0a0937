#include "base/template_notes.h"

namespace tedskit::base {
namespace {

constexpr std::string_view kMark = " (provisional)";

}  // namespace

std::string templateName(std::string_view description) {
  if (description.ends_with(kMark)) description.remove_suffix(kMark.size());
  return std::string(description);
}

std::optional<std::string> provisionalNote(int32_t templateID, std::string_view description) {
  if (!description.ends_with(kMark)) return std::nullopt;
  return "template " + std::to_string(templateID) + " (" + templateName(description) +
         "): layout partly provisional";
}

std::string missingTemplateNote(int32_t templateID) {
  return "template " + std::to_string(templateID) + " is not among the loaded templates";
}

}  // namespace tedskit::base
