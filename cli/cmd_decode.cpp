#include <algorithm>
#include <iostream>
#include <memory>
#include <span>

#include "base/bit_field.h"
#include "base/chr5.h"
#include "base/template_notes.h"

#include "check.h"
#include "commands.h"
#include "document.h"
#include "engine.h"
#include "json_form.h"
#include "output_file.h"
#include "report.h"
#include "select_cases.h"

namespace teds {
namespace {

bool isHexArgument(const std::string& text) {
  if (text.size() < 16) return false;
  return text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// What the Basic TEDS of any image holds, read straight from its register.
void printBasicTeds(const TedsImage& image) {
  const std::span<const uint8_t> basic(image.basic);
  using tedskit::base::readBits;
  std::cout << "Manufacturer ID: " << readBits(basic, 0, 14) << "\n"
            << "Model number: " << readBits(basic, 14, 15) << "\n"
            << "Version letter: " << tedskit::base::chr5Char(readBits(basic, 29, 5)) << "\n"
            << "Version number: " << readBits(basic, 34, 6) << "\n"
            << "Serial no.: " << readBits(basic, 40, 24) << "\n";
}

// JSON goes through libtedskit, which sets and checks its edited values; its notes go to
// standard error.
TedsImage imageFromJson(const std::string& json, const std::filesystem::path& templatesDir) {
  tedskit_teds* raw = nullptr;
  if (tedskit_teds_open(templatesDir.c_str(), json.data(), json.size(), TEDSKIT_INPUT_JSON, 0, &raw) !=
      TEDSKIT_OK) {
    throw Failure(tedskit_last_error());
  }
  const std::unique_ptr<tedskit_teds, void (*)(tedskit_teds*)> teds(raw, tedskit_teds_free);
  const char* note = nullptr;
  tedskit_teds_note(teds.get(), &note);
  printNotes(note == nullptr ? "" : note);
  TedsImage image = parseImage(encodedAs(teds.get(), OutputForm::Text));
  image.origin = "JSON";
  return image;
}

// Each select case that shaped the layout with the case in force, as --set takes them.
void printSelectCases(const std::vector<SelectCase>& cases) {
  if (cases.empty()) return;
  std::size_t width = 0;
  for (const auto& one : cases) width = std::max(width, displayWidth(one.description));
  std::cout << "\nSelect cases\n";
  for (const auto& one : cases) {
    std::cout << padRight(one.description, width) << "  " << one.caseText << "  (case " << one.value << " of "
              << one.cases.size() << (one.field >= 0 ? ", a field" : "") << ")\n";
  }
}

}  // namespace

TedsImage imageFromArguments(const std::vector<std::string>& sources,
                             const std::filesystem::path& templatesDir) {
  if (sources.empty()) throw UsageError("no image given");
  std::string content;
  bool allHex = true;
  for (const auto& source : sources) allHex = allHex && isHexArgument(source);
  if (allHex) {
    for (const auto& source : sources) content += source + "\n";
    return parseImage(content);
  }
  if (sources.size() != 1) throw UsageError("give one image file, or the image as hex digits");
  const std::string text = readSource(sources[0]);
  const std::string name = sources[0] == "-" ? std::string("standard input") : sources[0];
  try {
    return looksLikeJson(text) ? imageFromJson(text, templatesDir) : parseImage(text);
  } catch (const ImageError& error) {
    throw ImageError(name + ": " + error.what());
  } catch (const Failure& error) {
    throw Failure(name + ": " + error.what());
  }
}

int runDecode(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({{"form", 0, false}, {"v10", 0, false}, {"strict", 0, false}}));
  if (args.has("help")) {
    printHelp(helpOf("decode"));
    return 0;
  }
  const Context context = makeContext(args);
  const TedsImage image = imageFromArguments(args.positional(), context.templatesDir);
  Engine engine(context.templatesDir);
  Teds teds;
  try {
    refuseBlankInput(image);
    teds = engine.decode(image, args.has("v10"));
  } catch (const MissingTemplate& missing) {
    printBasicTeds(image);
    throw Failure(std::string("cannot lay out the template data: ") + missing.what());
  }
  // The LMS layout carries no checksum to check.
  if (!image.checksumOk && teds.engine != EngineKind::Lms) {
    const std::string corrupt = "the checksum does not match the image's bytes: the image may be corrupt";
    if (args.has("strict")) throw Failure(corrupt);
    std::cerr << "teds: warning: " << corrupt << "\n";
  }
  const Document document(context.templatesDir, image, args.has("v10"));
  if (const auto cut = shortImageFinding(document)) {
    if (args.has("strict")) throw Failure(cut->message);
    std::cerr << "teds: warning: " << cut->message << "\n";
  }
  const TEDSTemplateFieldArrayStruct& array = teds.fields->array;
  if (teds.engine == EngineKind::V10) {
    if (auto note = tedskit::base::provisionalNote(array.templateID, array.templateName))
      std::cerr << "teds: " << latin1ToUtf8(*note) << "\n";
  }
  if (args.has("form")) {
    const std::string form = latin1ToUtf8(engine.formText(teds));
    if (context.json) {
      std::cout << "{\"form\": " << jsonString(form) << "}\n";
    } else {
      std::cout << form << (form.ends_with('\n') ? "" : "\n");
    }
    return 0;
  }
  printTeds(context, engine, teds, &image, {{"Source", image.origin}});
  if (!context.json) printSelectCases(selectCasesOf(document));
  return 0;
}

}  // namespace teds
