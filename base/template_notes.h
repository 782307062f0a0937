// What a shipped template file says about a template beyond its layout: a description
// ending in " (provisional)" marks a layout read partly from one table or inferred.
#ifndef TEDSKIT_BASE_TEMPLATE_NOTES_H
#define TEDSKIT_BASE_TEMPLATE_NOTES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tedskit::base {

// The template's name without the mark.
std::string templateName(std::string_view description);

// "template 37 (RTD): layout partly provisional", or nothing for a verified layout.
std::optional<std::string> provisionalNote(int32_t templateID, std::string_view description);

// "template 29 is not among the loaded templates".
std::string missingTemplateNote(int32_t templateID);

}  // namespace tedskit::base

#endif
