#include <iostream>

#include "commands.h"
#include "engine.h"
#include "report.h"

namespace teds {
namespace {

bool isHexArgument(const std::string& text) {
  if (text.size() < 16) return false;
  return text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
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
  const Args args(argv, withCommonOptions({{"form", 0, false}, {"v10", 0, false}}));
  if (args.has("help")) {
    printHelp(helpOf("decode"));
    return 0;
  }
  const Context context = makeContext(args);
  const TedsImage image = imageFromArguments(args.positional());
  Engine engine(context.templatesDir);
  Teds teds = engine.decode(image, args.has("v10"));
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
