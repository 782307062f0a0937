#include "report.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "field_model.h"
#include "json_form.h"

namespace teds {
namespace {

const char* kindName(const Teds& teds) {
  if (teds.engine == EngineKind::V10) return "v1.0";
  if (teds.engine == EngineKind::Lms) return "lms";
  switch (teds.fields->kind) {
    case 1:
      return "manufacturer";
    case 3:
      return "lms";
    default:
      return "standard";
  }
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Control characters in a value would upset the terminal and the readers of our
// output; show them as \xNN.
std::string printable(std::string text) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out;
}

struct Row {
  std::string label, value, units, access;
};

// The one display rule of libtedskit: numbers to their resolution, enumerations by their
// text, units and access as the template gives them, so the table, the JSON and every
// binding show the same value.
std::vector<Row> rowsOf(const Teds& teds) {
  std::vector<Row> rows;
  for (const auto& model : fieldModels(teds)) {
    rows.push_back({model.label, printable(typedValue(teds, model).display), model.units, model.access});
  }
  return rows;
}

void printJson(const Engine& engine, const Teds& teds, const TedsImage* image, const Facts& facts) {
  JsonFacts keyed;
  for (const auto& [key, value] : facts) keyed.emplace_back(lowerCase(key), value);
  std::cout << tedsJson(engine, teds, image, keyed);
}

}  // namespace

void printTeds(const Context& context, Engine& engine, Teds& teds, const TedsImage* image,
               const Facts& facts) {
  if (context.json) {
    printJson(engine, teds, image, facts);
    return;
  }
  const auto& style = context.style;
  const auto& array = teds.fields->array;
  std::cout << style.bold("Template " + std::to_string(array.templateID) + ": " +
                          latin1ToUtf8(array.templateName))
            << style.dim("  (" + std::string(kindName(teds)) + " template, " + engineName(teds.engine) +
                         " engine)")
            << "\n";
  for (const auto& [key, value] : facts) std::cout << key << ": " << value << "\n";
  if (const auto name = manufacturerName(engine, teds); !name.empty()) {
    std::cout << "Manufacturer: " << name << "\n";
  }
  if (image != nullptr && teds.engine == EngineKind::Lms) {
    std::cout << "Checksum: none in the LMS layout\n";
  } else if (image != nullptr) {
    std::cout << "Checksum: " << (image->checksumOk ? style.green("ok") : style.red("bad")) << "\n";
  }
  std::cout << "\n";
  const auto rows = rowsOf(teds);
  std::size_t labelWidth = 5, valueWidth = 5, unitsWidth = 5;
  for (const auto& row : rows) {
    labelWidth = std::max(labelWidth, displayWidth(printable(row.label)));
    valueWidth = std::max(valueWidth, displayWidth(row.value));
    unitsWidth = std::max(unitsWidth, displayWidth(row.units));
  }
  std::cout << style.bold(padRight("Label", labelWidth) + "  " + padRight("Value", valueWidth) + "  " +
                          padRight("Units", unitsWidth) + "  Access")
            << "\n";
  for (const auto& row : rows) {
    std::cout << padRight(printable(row.label), labelWidth) << "  "
              << style.cyan(padRight(row.value, valueWidth)) << "  " << padRight(row.units, unitsWidth)
              << "  " << row.access << "\n";
  }
}

}  // namespace teds
