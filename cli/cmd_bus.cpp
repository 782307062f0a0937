#include <unistd.h>

#include <array>
#include <fstream>
#include <iostream>
#include <optional>

#include "base/chip_layout.h"
#include "bus/chip_read.h"
#include "bus/chip_write.h"
#include "bus_choice.h"
#include "bus_scan.h"
#include "commands.h"
#include "engine.h"
#include "output_file.h"
#include "report.h"
#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace teds {
namespace {

namespace base = tedskit::base;
using base::kPage;

void printRaw(const ChipRead& read) {
  for (std::size_t page = 0; page < read.chip.size(); page += kPage) {
    std::cout << "chip: " << toHex(std::span(read.chip).subspan(page, kPage)) << "\n";
  }
  if (read.reg) std::cout << "# application register: " << toHex(*read.reg) << "\n";
}

// Asks on the terminal; without one, writing needs --yes.
bool confirmed(const std::string& question) {
  std::ifstream tty("/dev/tty");
  std::ofstream ttyOut("/dev/tty");
  if (!tty || !ttyOut || isatty(STDIN_FILENO) == 0) {
    throw Failure("not writing without --yes: there is no terminal to ask on");
  }
  ttyOut << question << " [y/N] " << std::flush;
  std::string answer;
  std::getline(tty, answer);
  answer = trim(answer);
  return answer == "y" || answer == "Y" || equalsIgnoreCase(answer, "yes");
}

std::string blankText(const BusChip& chip, const std::string& shown, uint8_t blank) {
  return "the " + chip.described() + " on the bus " + shown + " is blank (every byte " +
         (blank == 0 ? "00h" : "FFh") + "): it holds no TEDS";
}

Facts chipFacts(const BusScan& scan, const BusChip& chip, const TedsImage& image) {
  Facts facts = {{"Bus", scan.shown}, {"Device", familyText(chip.family())}, {"ROM", chip.romText()}};
  if (chip.channel != 0) facts.emplace_back("Channel", std::to_string(chip.channel));
  facts.emplace_back("Source", image.origin);
  return facts;
}

void printDecoded(const Context& context, const Args& args, const BusScan& scan, const BusChip& chip,
                  const ChipRead& read) {
  if (const auto blank = read.image.blankByte()) throw Failure(blankText(chip, scan.shown, *blank));
  Engine engine(context.templatesDir);
  Teds teds = engine.decode(read.image, args.has("v10"));
  printTeds(context, engine, teds, &read.image, chipFacts(scan, chip, read.image));
  if (!context.json) std::cout << "\n" << formatImage(read.image);
}

// What each of several chips holds, for a user who has to choose one.
void listChips(const std::string& busName, const std::vector<BusChip>& chips) {
  for (const BusChip& chip : chips) {
    std::string holds;
    try {
      const ChipRead read = readChipAt(busName, chip);
      holds = read.image.blankByte() ? "blank" : "template " + std::to_string(read.image.templateId());
    } catch (const Failure& e) {
      holds = std::string("unreadable: ") + e.what();
    }
    std::cout << chip.romText() << "  " << familyText(chip.family())
              << (chip.channel != 0 ? "  channel " + std::to_string(chip.channel) : "") << "  " << holds
              << "\n";
  }
}

// Every TEDS on the bus; a chip that cannot be read or decoded is reported and the rest
// are still shown.
int readAll(const Context& context, const Args& args, const std::string& busName, const BusScan& scan) {
  const std::vector<BusChip> chips = scan.tedsChips();
  if (chips.empty()) throw Failure("no TEDS memory chip on the bus " + scan.shown);
  int status = 0;
  if (context.json) std::cout << "[";
  for (std::size_t i = 0; i < chips.size(); ++i) {
    const BusChip& chip = chips[i];
    if (context.json && i > 0) std::cout << ",";
    if (!context.json && i > 0) std::cout << "\n";
    try {
      const ChipRead read = readChipAt(busName, chip);
      printDecoded(context, args, scan, chip, read);
    } catch (const std::exception& e) {
      status = 1;
      std::cerr << "teds: " << e.what() << "\n";
      if (context.json) {
        std::cout << "{\"rom\": " << jsonString(chip.romText())
                  << ", \"device\": " << jsonString(familyText(chip.family()))
                  << ", \"channel\": " << chip.channel << ", \"error\": " << jsonString(e.what()) << "}\n";
      } else {
        std::cout << "ROM: " << chip.romText() << "\nError: " << e.what() << "\n";
      }
    }
  }
  if (context.json) std::cout << "]\n";
  return status;
}

}  // namespace

int runRead(std::span<char* const> argv) {
  const Args args(argv, busOptions({{"hex", 0, false},
                                    {"raw", 0, false},
                                    {"v10", 0, false},
                                    {"device", 'd', true},
                                    {"all", 'a', false},
                                    {"output", 'o', true}}));
  if (args.has("help")) {
    printHelp(helpOf("read"));
    return 0;
  }
  if (!args.positional().empty()) throw UsageError("teds read takes no arguments");
  if (args.has("all") && (args.value("device") || args.value("channel")))
    throw UsageError("--all reads every chip; it takes no --device or --channel");
  if (args.has("all") && (args.has("hex") || args.has("raw") || args.value("output")))
    throw UsageError("--all decodes every chip; it takes no --hex, --raw or --output");
  const Context context = makeContext(args);
  const TrafficEcho echo(args.has("verbose"));
  const std::string busName = busSpecification(args);
  const BusScan scan = scanBus(busName);
  if (args.has("all")) return readAll(context, args, busName, scan);
  std::vector<BusChip> several;
  BusChip chip;
  try {
    chip = chooseChip(scan, args, &several);
  } catch (const Failure&) {
    if (!several.empty()) listChips(busName, several);
    throw;
  }
  const ChipRead read = readChipAt(busName, chip);
  if (args.has("raw")) {
    printRaw(read);
    return 0;
  }
  if (args.has("hex")) {
    std::cout << formatImage(read.image);
    return 0;
  }
  if (const auto output = args.value("output")) {
    if (const auto blank = read.image.blankByte()) throw Failure(blankText(chip, scan.shown, *blank));
    writeImageFile(*output, read.image, context.templatesDir, args.has("v10"));
    return 0;
  }
  printDecoded(context, args, scan, chip, read);
  return 0;
}

int runWrite(std::span<char* const> argv) {
  const Args args(
      argv,
      busOptions({{"yes", 'y', false}, {"device", 'd', true}, {"dry-run", 'n', false}, {"force", 0, false}}));
  if (args.has("help")) {
    printHelp(helpOf("write"));
    return 0;
  }
  const Context context = makeContext(args);
  const TedsImage image = imageFromArguments(args.positional(), context.templatesDir);
  refuseCorruptImage(image, args.has("force"));
  if (!args.has("force")) refuseCutImage(context.templatesDir, image);
  const TrafficEcho echo(args.has("verbose"));
  const std::string busName = busSpecification(args);
  const BusScan scan = scanBus(busName);
  const BusChip target = chooseChip(scan, args);
  PreparedWrite write(busName, scan, target, image, context.templatesDir);
  const std::string diff = fieldDiffText(write.diff());
  if (args.has("dry-run")) {
    std::cout << "Would write " << write.what()
              << (write.locks() ? ", locking the application register for good" : "") << ".\n"
              << diff << "Nothing written (--dry-run).\n";
    return 0;
  }
  if (!args.has("yes")) {
    std::string question = diff + "Write " + write.what() + "?";
    if (write.locks()) question += " This locks the DS2430A's application register for good.";
    if (!confirmed(question)) throw Failure("nothing written");
  }
  write.commit();
  const int family = write.session().family();
  const base::ChipModel& chip = chipOf(family);
  if (context.json) {
    std::cout << "{\"written\": true, \"chip\": " << jsonString(chip.name)
              << ", \"rom\": " << jsonString(target.romText())
              << ", \"layout\": " << jsonString(base::layoutName(write.layout()))
              << ", \"template\": " << image.templateId() << "}\n";
  } else {
    std::cout << "Wrote template " << image.templateId() << " to the " << familyText(family) << " "
              << target.romText() << " in " << base::layoutName(write.layout()) << ".\n";
  }
  return 0;
}

}  // namespace teds
