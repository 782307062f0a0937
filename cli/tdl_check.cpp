#include "tdl_check.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>
#include <set>
#include <string>

#include "base/ascii_case.h"

namespace teds {
namespace {

using tedskit::base::equalsIgnoreCase;

// One statement: its first line and its text, comments removed and lines that end in a
// comma joined to the next, as the reader continues a statement after a comma.
struct Statement {
  int line;
  std::string text;
};

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// The line without a "//" comment outside quotes.
std::string_view withoutComment(std::string_view line) {
  char quote = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
      return line.substr(0, i);
    }
  }
  return line;
}

std::vector<Statement> statements(std::string_view text) {
  std::vector<Statement> out;
  bool continued = false;
  int number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = trimmed(withoutComment(text.substr(0, end)));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    if (line.empty() && !continued) continue;
    if (continued) {
      out.back().text += ' ';
      out.back().text += line;
    } else {
      out.push_back({number, std::string(line)});
    }
    continued = !line.empty() ? line.back() == ',' : continued;
  }
  return out;
}

// The statement's parts between commas outside quotes, each trimmed.
std::vector<std::string> parts(std::string_view text) {
  std::vector<std::string> out;
  std::string current;
  char quote = 0;
  for (const char c : text) {
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ',') {
      out.emplace_back(trimmed(current));
      current.clear();
      continue;
    }
    current += c;
  }
  out.emplace_back(trimmed(current));
  return out;
}

// The first word of a statement, its keyword.
std::string_view keyword(std::string_view text) {
  const auto end = text.find_first_of(" \t,");
  return text.substr(0, end);
}

std::optional<long long> integer(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

enum class TypeKind { Number, Text, Unknown };

TypeKind typeKind(std::string_view type) {
  for (const char* number : {"UNINT", "DATE", "ConRes", "ConRelRes", "Single"}) {
    if (equalsIgnoreCase(type, number)) return TypeKind::Number;
  }
  for (const char* text : {"CHR5", "ASCII", "STRING5", "STRING7", "STRING16", "Unicode", "BITBIN"}) {
    if (equalsIgnoreCase(type, text)) return TypeKind::Text;
  }
  return TypeKind::Unknown;
}

constexpr long long kWidestNumber = 32;

struct Template {
  std::set<std::string> enumerations;
  std::vector<const Statement*> properties;
};

void checkTemplateHeader(const Statement& statement, std::vector<TdlFault>& faults) {
  // TEMPLATE selector, ID width, ID, "description"
  std::string text = statement.text.substr(keyword(statement.text).size());
  const auto fields = parts(text);
  if (fields.size() < 3) return;
  const auto width = integer(fields[1]);
  const auto id = integer(fields[2]);
  if (!width || !id) return;
  if (*width < 0 || *width > kWidestNumber) {
    faults.push_back({statement.line, "the template ID width " + fields[1] + " is outside 0 to 32 bits"});
  } else if (*id < 0 || *id >= (1LL << *width)) {
    faults.push_back(
        {statement.line, "template ID " + fields[2] + " does not fit its width of " + fields[1] + " bits"});
  }
}

void checkProperty(const Statement& statement, const Template& tmpl, std::vector<TdlFault>& faults) {
  // %Label, description, access, width, type, ...
  const auto fields = parts(statement.text);
  if (fields.size() < 5) return;
  const std::string& type = fields[4];
  const auto width = integer(fields[3]);
  const std::string label = std::string(keyword(statement.text));
  TypeKind kind = typeKind(type);
  if (kind == TypeKind::Unknown) {
    if (!tmpl.enumerations.contains(type)) {
      faults.push_back({statement.line, label + ": type '" + type +
                                            "' is neither a data type nor an enumeration (ENUMERATE) of this "
                                            "template"});
      return;
    }
    kind = TypeKind::Number;
  }
  if (kind == TypeKind::Number && width && (*width < 0 || *width > kWidestNumber)) {
    faults.push_back({statement.line, label + ": a bit width of " + fields[3] + " is outside 0 to 32 for " +
                                          (typeKind(type) == TypeKind::Number ? type : "an enumeration")});
  }
}

}  // namespace

std::vector<TdlFault> checkTdl(std::string_view text) {
  std::vector<TdlFault> faults;
  const std::vector<Statement> all = statements(text);
  std::vector<Template> templates;
  bool inTemplate = false;
  bool keycode = false;
  for (const Statement& statement : all) {
    const std::string_view word = keyword(statement.text);
    if (equalsIgnoreCase(word, "TEMPLATE")) {
      checkTemplateHeader(statement, faults);
      templates.emplace_back();
      inTemplate = true;
    } else if (equalsIgnoreCase(word, "ENDTEMPLATE")) {
      inTemplate = false;
    } else if (equalsIgnoreCase(word, "VALIDATION_KEYCODE")) {
      keycode = true;
    } else if (inTemplate && equalsIgnoreCase(word, "ENUMERATE")) {
      const auto fields = parts(statement.text.substr(word.size()));
      if (!fields.empty()) templates.back().enumerations.insert(fields[0]);
    } else if (inTemplate && word.size() > 1 && word.front() == '%') {
      templates.back().properties.push_back(&statement);
    }
  }
  // Enumerations may be declared anywhere in their template.
  for (const Template& tmpl : templates) {
    for (const Statement* property : tmpl.properties) checkProperty(*property, tmpl, faults);
  }
  if (!keycode) {
    // Where the reader's own message puts the end of the file.
    const auto endLine = std::count(text.begin(), text.end(), '\n') + 1;
    faults.push_back({static_cast<int>(endLine), "no VALIDATION_KEYCODE statement ends the file"});
  }
  std::stable_sort(faults.begin(), faults.end(),
                   [](const TdlFault& a, const TdlFault& b) { return a.line < b.line; });
  return faults;
}

}  // namespace teds
