#include "report.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

#include "base/template_notes.h"
#include "document.h"
#include "field_model.h"
#include "json_form.h"
#include "latin1.h"

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

std::vector<Row> rowsOf(const std::vector<FieldView>& fields, const TemplateSection& section) {
  std::vector<Row> rows;
  for (int i = section.firstField; i < section.firstField + section.fieldCount; ++i) {
    const FieldView& field = fields[static_cast<std::size_t>(i)];
    rows.push_back({field.model.label, printable(field.value.display), field.model.units, field.model.access});
  }
  return rows;
}

struct Widths {
  std::size_t label = 5, value = 5, units = 5;
};

void widen(Widths& widths, const std::vector<Row>& rows) {
  for (const auto& row : rows) {
    widths.label = std::max(widths.label, displayWidth(printable(row.label)));
    widths.value = std::max(widths.value, displayWidth(row.value));
    widths.units = std::max(widths.units, displayWidth(row.units));
  }
}

void printRows(const Style& style, const std::vector<Row>& rows, const Widths& widths) {
  std::cout << style.bold(padRight("Label", widths.label) + "  " + padRight("Value", widths.value) + "  " +
                          padRight("Units", widths.units) + "  Access")
            << "\n";
  for (const auto& row : rows) {
    std::cout << padRight(printable(row.label), widths.label) << "  "
              << style.cyan(padRight(row.value, widths.value)) << "  " << padRight(row.units, widths.units)
              << "  " << row.access << "\n";
  }
}

// A TDL image as libtedskit holds it: the template's constants among its fields, and the
// templates chained after it, each under its own heading. Null for other images.
std::unique_ptr<Document> tdlDocument(const Engine& engine, const Teds& teds, const TedsImage* image) {
  if (image == nullptr || teds.engine != EngineKind::V10) return nullptr;
  return std::make_unique<Document>(engine.templatesDir(), *image, true);
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
  const auto document = tdlDocument(engine, teds, image);
  if (document == nullptr) {
    const auto rows = rowsOf(teds);
    Widths widths;
    widen(widths, rows);
    printRows(style, rows, widths);
    return;
  }
  const auto sections = document->templates();
  std::vector<std::vector<Row>> tables;
  Widths widths;
  for (const auto& section : sections) {
    tables.push_back(rowsOf(document->fields(), section));
    widen(widths, tables.back());
  }
  printRows(style, tables.front(), widths);
  for (std::size_t i = 1; i < sections.size(); ++i) {
    std::cout << "\n"
              << style.bold("Template " + std::to_string(sections[i].id) + ": " + sections[i].name)
              << style.dim("  (chained template " + std::to_string(i) + ")") << "\n";
    if (auto note = tedskit::base::provisionalNote(sections[i].id, utf8ToLatin1(sections[i].name)))
      std::cerr << "teds: " << latin1ToUtf8(*note) << "\n";
    printRows(style, tables[i], widths);
  }
}

}  // namespace teds
