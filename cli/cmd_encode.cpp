#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include "base/ascii_case.h"
#include "base/hex.h"
#include "commands.h"
#include "output_file.h"
#include "tedskit/tedskit.h"

namespace teds {

namespace {

// The TEDS as the whole memory of a chip: "chip:" lines, one per page as teds read --raw
// prints them, or the bytes themselves into a file.
int printChipImage(const tedskit_teds* teds, const std::string& model, const std::optional<std::string>& output) {
  char* bytes = nullptr;
  size_t size = 0;
  const char* chosen = tedskit::base::equalsIgnoreCase(model, "auto") ? nullptr : model.c_str();
  if (tedskit_teds_chip_image(teds, chosen, &bytes, &size) != TEDSKIT_OK) throw Failure(tedskit_last_error());
  const std::unique_ptr<char, void (*)(char*)> hold(bytes, tedskit_string_free);
  const std::string memory(bytes, size);
  if (output) {
    writeOutputFile(*output, memory);
    return 0;
  }
  const auto* data = reinterpret_cast<const uint8_t*>(memory.data());
  for (std::size_t page = 0; page < memory.size(); page += 32) {
    std::cout << "chip: " << tedskit::base::toHex(std::span(data + page, std::min<std::size_t>(32, memory.size() - page))) << "\n";
  }
  return 0;
}

}  // namespace

// Everything goes through libtedskit: JSON with edited values is checked and set there.
int runEncode(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({{"output", 'o', true}, {"v10", 0, false}, {"chip", 0, true}}));
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
  if (const auto model = args.value("chip")) {
    if (context.json) throw UsageError("--chip prints the chip's memory; it takes no --json");
    return printChipImage(teds.get(), *model, args.value("output"));
  }
  if (const auto output = args.value("output")) {
    writeOutputFile(*output, encodedAs(teds.get(), outputFormOf(*output)));
    return 0;
  }
  std::cout << encodedAs(teds.get(), context.json ? OutputForm::Json : OutputForm::Text);
  return 0;
}

}  // namespace teds
