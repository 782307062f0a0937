#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "capture.h"
#include "commands.h"
#include "tdl_check.h"
#include "template_files.h"
#include "tedskit/orlin.hpp"

namespace teds {
namespace {

std::string unquoted(const char* text) {
  if (text == nullptr) return {};
  std::string out = text;
  if (out.size() >= 2 && out.front() == '"' && out.back() == '"') out = out.substr(1, out.size() - 2);
  return latin1ToUtf8(out);
}

std::string typeName(CTDLProperty& property) {
  switch (property.m_dataType) {
    case DT_UNINT:
      return "UNINT";
    case DT_ENUMERATION: {
      const CTDLEnumeration* enumeration = property.m_dataDef.enumeration;
      return enumeration != nullptr && enumeration->m_name != nullptr ? latin1ToUtf8(enumeration->m_name)
                                                                      : "enumeration";
    }
    case DT_CONRES:
      return "ConRes";
    case DT_CONRELRES:
      return "ConRelRes";
    case DT_CHR5:
      return "Chr5";
    case DT_DATE:
      return "DATE";
    case DT_ASCII:
      return "ASCII";
    case DT_SINGLE:
      return "Single";
  }
  return "type " + std::to_string(static_cast<int>(property.m_dataType));
}

// A width of -1 runs to the end of the TEDS memory.
std::string bitsText(int32_t width) { return width < 0 ? "to end" : std::to_string(width) + " bits"; }

const char* accessName(CTDLProperty& property) { return property.m_access == ACCESS_USER ? "RW" : "RO"; }

bool isSelectCase(CTDLProperty& property) { return property.m_propertyType == PT_SELECTCASE; }

void textProperties(std::ostream& out, const std::vector<CTDLProperty*>& properties,
                    const std::string& indent) {
  for (CTDLProperty* property : properties) {
    if (property == nullptr) continue;
    if (isSelectCase(*property)) {
      auto& select = static_cast<CTDLSelectCase&>(*property);
      out << indent << "select case \"" << unquoted(select.m_description) << "\" (" << select.m_bitWidth
          << " bits)\n";
      for (CTDLCase* c : select.m_cases) {
        if (c == nullptr) continue;
        out << indent << "  case " << c->m_bitValue << " \"" << unquoted(c->m_description) << "\"\n";
        textProperties(out, c->m_properties, indent + "    ");
      }
      continue;
    }
    out << indent << padRight(unquoted(property->m_structLabel), 34) << "  "
        << padRight(typeName(*property), 12) << "  " << padRight(bitsText(property->m_bitWidth), 8) << "  "
        << accessName(*property);
    if (const auto units = unquoted(property->m_units); !units.empty()) out << "  " << units;
    out << "\n";
  }
}

void jsonProperties(std::ostream& out, const std::vector<CTDLProperty*>& properties) {
  out << "[";
  bool first = true;
  for (CTDLProperty* property : properties) {
    if (property == nullptr) continue;
    out << (first ? "" : ", ");
    first = false;
    if (isSelectCase(*property)) {
      auto& select = static_cast<CTDLSelectCase&>(*property);
      out << "{\"select_case\": " << jsonString(unquoted(select.m_description))
          << ", \"bits\": " << select.m_bitWidth << ", \"cases\": [";
      bool firstCase = true;
      for (CTDLCase* c : select.m_cases) {
        if (c == nullptr) continue;
        out << (firstCase ? "" : ", ") << "{\"value\": " << c->m_bitValue
            << ", \"name\": " << jsonString(unquoted(c->m_description)) << ", \"properties\": ";
        firstCase = false;
        jsonProperties(out, c->m_properties);
        out << "}";
      }
      out << "]}";
      continue;
    }
    out << "{\"label\": " << jsonString(unquoted(property->m_structLabel))
        << ", \"type\": " << jsonString(typeName(*property)) << ", \"bits\": " << property->m_bitWidth
        << ", \"access\": " << jsonString(accessName(*property))
        << ", \"units\": " << jsonString(unquoted(property->m_units)) << "}";
  }
  out << "]";
}

void printText(const Context& context, const std::string& path, CTDLTemplateCollection& collection) {
  std::cout << path << ": " << collection.m_templates.size() << " template"
            << (collection.m_templates.size() == 1 ? "" : "s") << "\n";
  for (CTDLTemplate* tdl : collection.m_templates) {
    if (tdl == nullptr) continue;
    std::cout << "\n"
              << context.style.bold("Template " + std::to_string(tdl->m_templateID) + ": " +
                                    unquoted(tdl->m_description))
              << context.style.dim("  (ID " + std::to_string(tdl->m_idBitWidth) + " bits)") << "\n";
    textProperties(std::cout, tdl->m_properties, "  ");
    for (CTDLEnumeration* enumeration : tdl->m_enumerations) {
      if (enumeration == nullptr) continue;
      std::cout << "  enumeration " << latin1ToUtf8(enumeration->m_name ? enumeration->m_name : "") << ":";
      for (std::size_t i = 0; i < enumeration->m_items.size(); ++i) {
        std::cout << (i == 0 ? " " : ", ") << unquoted(enumeration->m_items[i]);
      }
      std::cout << "\n";
    }
  }
}

void printJson(const std::string& path, CTDLTemplateCollection& collection, const std::string& error,
               const std::vector<TdlFault>& faults) {
  std::cout << "{\"file\": " << jsonString(path)
            << ", \"error\": " << (error.empty() ? "null" : jsonString(error)) << ", \"faults\": [";
  for (std::size_t i = 0; i < faults.size(); ++i) {
    std::cout << (i == 0 ? "" : ", ") << "{\"line\": " << faults[i].line
              << ", \"message\": " << jsonString(faults[i].message) << "}";
  }
  std::cout << "], \"templates\": [";
  bool first = true;
  for (CTDLTemplate* tdl : collection.m_templates) {
    if (tdl == nullptr) continue;
    std::cout << (first ? "\n" : ",\n") << "  {\"id\": " << tdl->m_templateID
              << ", \"name\": " << jsonString(unquoted(tdl->m_description)) << ", \"properties\": ";
    first = false;
    jsonProperties(std::cout, tdl->m_properties);
    std::cout << ", \"enumerations\": [";
    bool firstEnum = true;
    for (CTDLEnumeration* enumeration : tdl->m_enumerations) {
      if (enumeration == nullptr) continue;
      std::cout << (firstEnum ? "" : ", ")
                << "{\"name\": " << jsonString(latin1ToUtf8(enumeration->m_name ? enumeration->m_name : ""))
                << ", \"items\": [";
      firstEnum = false;
      for (std::size_t i = 0; i < enumeration->m_items.size(); ++i) {
        std::cout << (i == 0 ? "" : ", ") << jsonString(unquoted(enumeration->m_items[i]));
      }
      std::cout << "]}";
    }
    std::cout << "]}";
  }
  std::cout << "\n]}\n";
}

// The file's text for the checks the reader does not make; a TDL file is text of a
// few hundred kilobytes at most, so a larger one is checked only as far as this.
std::string fileText(const std::string& path) {
  constexpr std::size_t kLargestChecked = 16 << 20;
  std::ifstream in(path, std::ios::binary);
  std::string text(kLargestChecked, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace

int runTdl(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({}));
  if (args.has("help")) {
    printHelp(helpOf("tdl"));
    return 0;
  }
  if (args.positional().size() != 1) throw UsageError("give one TDL file");
  const Context context = makeContext(args);
  const std::string path = args.positional()[0];
  if (std::filesystem::is_directory(path)) throw Failure(path + ": is a directory");
  // The reader reports syntax errors on standard error only: show them as ours.
  CapturedOutput captured(STDERR_FILENO);
  const int32_t result = orlin(path.c_str());
  const std::string messages = trim(latin1ToUtf8(captured.finish()));
  if (result == ORLIN_FILE_NOT_OPENED) throw Failure(path + ": cannot open");
  CTDLTemplateCollection* collection = getTDLCollection();
  if (collection == nullptr) throw Failure(path + ": nothing was read");
  const std::string error = messages.empty() ? std::string{} : tdlFault(path, messages);
  const std::vector<TdlFault> faults = checkTdl(fileText(path));
  if (context.json) {
    printJson(path, *collection, error, faults);
  } else {
    printText(context, path, *collection);
  }
  if (!error.empty() || result != ORLIN_OK) {
    std::cerr << "teds: " << (error.empty() ? path + ": the file cannot be read whole" : error) << "\n";
  }
  for (const TdlFault& fault : faults) {
    std::cerr << "teds: " << path << ":" << fault.line << ": " << latin1ToUtf8(fault.message) << "\n";
  }
  return error.empty() && result == ORLIN_OK && faults.empty() ? 0 : 1;
}

}  // namespace teds
