#include <iostream>
#include <span>

#include "base/bit_field.h"
#include "base/chr5.h"
#include "base/template_notes.h"

#include "commands.h"
#include "engine.h"
#include "report.h"

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

}  // namespace

TedsImage imageFromArguments(const std::vector<std::string>& sources) {
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
  try {
    return parseImage(text);
  } catch (const ImageError& error) {
    throw ImageError((sources[0] == "-" ? std::string("standard input") : sources[0]) + ": " + error.what());
  }
}

int runDecode(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({{"form", 0, false}, {"v10", 0, false}, {"strict", 0, false}}));
  if (args.has("help")) {
    printHelp(helpOf("decode"));
    return 0;
  }
  const Context context = makeContext(args);
  const TedsImage image = imageFromArguments(args.positional());
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
  return 0;
}

}  // namespace teds
