// The JSON form of a decoded TEDS (docs/json.md): template, checksum state, typed fields
// and the raw images; and the way back, a JSON whose values may have been edited by hand.
#ifndef TEDSKIT_API_JSON_FORM_H
#define TEDSKIT_API_JSON_FORM_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document.h"
#include "engine.h"
#include "image.h"

namespace teds {

inline constexpr int kJsonSchemaVersion = 1;

// Extra facts about where the TEDS came from ("source", "bus", ...), in order.
using JsonFacts = std::vector<std::pair<std::string, std::string>>;

// The manufacturer's name from the templates' list, or "" (UTF-8).
std::string manufacturerName(const Engine& engine, const Teds& teds);

// image may be null (a stored record has none). Pretty-printed, one line end at the end.
std::string tedsJson(const Engine& engine, const Teds& teds, const TedsImage* image, const JsonFacts& facts);
std::string tedsJson(const Document& document, const JsonFacts& facts);

// Whether the input is meant as JSON: its first character past blanks is '{'.
bool looksLikeJson(std::string_view content);

// What a JSON input holds: the image its raw images give, whether it was decoded by the
// TDL engine, and its fields as label and value (JSON text), in order.
struct JsonInput {
  TedsImage image;
  bool tdl = false;
  struct Field {
    std::string label;
    std::string value;  // the "value" member as JSON text; "" when absent or null
    std::string index;  // an enumeration's "index" as JSON text, or ""
  };
  std::vector<Field> fields;
};
// Throws ImageError naming what is missing or malformed.
JsonInput readJsonInput(std::string_view content);

// Sets every field whose value differs from what the image decodes to, in the order the
// JSON gives them, each checked as any set is; returns the notes. Throws ValueRefused,
// Failure.
std::vector<std::string> applyJsonFields(Document& document, const JsonInput& input);

}  // namespace teds

#endif
