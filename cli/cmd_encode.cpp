#include <iostream>
#include <memory>

#include "commands.h"
#include "output_file.h"
#include "tedskit/tedskit.h"

namespace teds {

// Everything goes through libtedskit: JSON with edited values is checked and set there.
int runEncode(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({{"output", 'o', true}, {"v10", 0, false}}));
  if (args.has("help")) {
    printHelp(helpOf("encode"));
    return 0;
  }
  if (args.positional().size() != 1) throw UsageError("give one FILE, or - for standard input");
  const Context context = makeContext(args);
  const std::string& source = args.positional()[0];
  const std::string content = readSource(source);
  tedskit_teds* raw = nullptr;
  if (tedskit_teds_open(context.templatesDir.c_str(), content.data(), content.size(), TEDSKIT_INPUT_AUTO,
                        args.has("v10") ? 1 : 0, &raw) != TEDSKIT_OK) {
    throw Failure((source == "-" ? std::string("standard input") : source) + ": " + tedskit_last_error());
  }
  const std::unique_ptr<tedskit_teds, void (*)(tedskit_teds*)> teds(raw, tedskit_teds_free);
  const char* note = nullptr;
  tedskit_teds_note(teds.get(), &note);
  printNotes(note == nullptr ? "" : note);
  if (const auto output = args.value("output")) {
    writeOutputFile(*output, encodedAs(teds.get(), outputFormOf(*output)));
    return 0;
  }
  std::cout << encodedAs(teds.get(), context.json ? OutputForm::Json : OutputForm::Text);
  return 0;
}

}  // namespace teds
