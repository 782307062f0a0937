// Printing a decoded TEDS: a table for people, JSON for programs.
#ifndef TEDS_CLI_REPORT_HPP
#define TEDS_CLI_REPORT_HPP

#include <string>
#include <vector>

#include "app.hpp"
#include "engine.hpp"
#include "image.hpp"

namespace teds {

// Extra "key: value" facts shown above the fields (chip, layout, ...), in order.
using Facts = std::vector<std::pair<std::string, std::string>>;

// image may be null (a stored record has none).
void printTeds(const Context& context, Engine& engine, Teds& teds, const TedsImage* image,
               const Facts& facts);

// JSON of the image alone: {"memory": "...", "register": "..."}.
std::string imageJson(const TedsImage& image);

}  // namespace teds

#endif
