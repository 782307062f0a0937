// Printing a decoded TEDS: a table for people, JSON for programs.
#ifndef TEDSKIT_CLI_REPORT_H
#define TEDSKIT_CLI_REPORT_H

#include <string>
#include <vector>

#include "app.h"
#include "engine.h"
#include "image.h"

namespace teds {

// Extra "key: value" facts shown above the fields (chip, layout, ...), in order.
using Facts = std::vector<std::pair<std::string, std::string>>;

// image may be null (a stored record has none).
void printTeds(const Context& context, Engine& engine, Teds& teds, const TedsImage* image,
               const Facts& facts);

}  // namespace teds

#endif
