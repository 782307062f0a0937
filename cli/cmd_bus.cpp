#include <unistd.h>

#include <array>
#include <fstream>
#include <iostream>
#include <optional>

#include "base/chip_image.h"
#include "bus_choice.h"
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

// One adapter session on the chosen bus, closed when it goes.
class BusSession {
 public:
  BusSession(const Args& args) : echo_(args.has("verbose")) {
    const std::string busName = busSpecification(args);
    busName_ = busShownName(busName);
    if (owbus_configure(busName.c_str()) != 0) throw Failure(owbus_last_error());
    if (stdcdll_OpenCom(1) != FERRUN_DONE)
      throw Failure("cannot open the bus " + busName_ + ": " + owbus_last_error());
    open_ = true;
    if (const auto channel = args.value("channel")) {
      const int number = parseInt(*channel, "--channel");
      if (number < 1 || number > 3) throw UsageError("--channel takes 1, 2 or 3");
      if (stdcdll_triax_enabled() != 1) throw Failure("no DS2406 channel switch on the bus " + busName_);
      if (stdcdll_ds2406_channel(number) != 1)
        throw Failure("cannot switch the DS2406 to channel " + *channel);
    }
    const int32_t result = stdcdll_read_family(&family_);
    if (result == FERRUN_ADAPTER_CHECK) {
      const std::string why = owbus_last_error();
      throw Failure("the adapter check failed on the bus " + busName_ + (why.empty() ? "" : ": " + why));
    }
    if (result != FERRUN_DONE || family_ == 0) throw Failure("no TEDS memory chip on the bus " + busName_);
  }
  ~BusSession() {
    if (open_) stdcdll_CloseCom();
  }
  BusSession(const BusSession&) = delete;
  BusSession& operator=(const BusSession&) = delete;

  int family() const { return family_; }
  const std::string& busName() const { return busName_; }

 private:
  TrafficEcho echo_;
  std::string busName_;
  int32_t family_ = 0;
  bool open_ = false;
};

struct ChipRead {
  TedsImage image;
  std::vector<uint8_t> chip;                  // the chip's memory as stored, page checksums included
  std::optional<std::array<uint8_t, 8>> reg;  // a DS2430A's application register
};

// The chip is read whole and taken apart by the same layout code as ferrun's own reads.
// ferrun's caller forms would not do here: they carry no verdict for pages past 3 and, in
// the inline form, neither page 0's verdict nor its bytes 24-31.
ChipRead readChip(const BusSession& bus) {
  std::array<uint8_t, 8> reg{};
  std::vector<uint8_t> memory(FERRUN_MAX_MEMORY, 0);
  int32_t registerUsed = 0;
  std::array<int32_t, FERRUN_PAGE_FLAGS> flags{};
  const int32_t result =
      stdcdll_read_memory(reg.data(), memory.data(), &registerUsed, flags.data(), FERRUN_RAW_MODE);
  if (result == FERRUN_CHIP_NOT_FOUND) throw Failure("no TEDS memory chip on the bus " + bus.busName());
  if (result == FERRUN_ADAPTER_CHECK)
    throw Failure("the adapter failed reading the bus " + bus.busName() + ": " + owbus_last_error());
  ChipRead read;
  // Whole pages: a chip whose size ends inside a page reads as zeros past it.
  const std::size_t size = (chipOf(bus.family()).readSize + kPage - 1) / kPage * kPage;
  read.chip.assign(memory.begin(), memory.begin() + static_cast<std::ptrdiff_t>(size));
  if (bus.family() == base::kFamilyDs2430a) {
    read.reg = reg;
    if (registerUsed != 0) {
      read.image = fromChipContents(
          base::contentsOfLockedDs2430a(reg, std::span<const uint8_t, kPage>(memory.data(), kPage)));
      return read;
    }
  }
  read.image = fromChipContents(base::contentsOfChip(read.chip));
  return read;
}

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

base::ChipWrite planWrite(const TedsImage& image, int family) {
  return base::planChipWrite(image.basic, std::span(image.body).first(image.usedBodySize()), family);
}

}  // namespace

int runRead(std::span<char* const> argv) {
  const Args args(
      argv, busOptions({{"hex", 0, false}, {"raw", 0, false}, {"v10", 0, false}, {"output", 'o', true}}));
  if (args.has("help")) {
    printHelp(helpOf("read"));
    return 0;
  }
  if (!args.positional().empty()) throw UsageError("teds read takes no arguments");
  const Context context = makeContext(args);
  BusSession bus(args);
  const ChipRead read = readChip(bus);
  if (args.has("raw")) {
    printRaw(read);
    return 0;
  }
  if (args.has("hex")) {
    std::cout << formatImage(read.image);
    return 0;
  }
  if (const auto blank = read.image.blankByte()) {
    throw Failure(std::string("the ") + chipOf(bus.family()).name + " on the bus " + bus.busName() +
                  " is blank (every byte " + (*blank == 0 ? "00h" : "FFh") + "): it holds no TEDS");
  }
  if (const auto output = args.value("output")) {
    writeImageFile(*output, read.image, context.templatesDir, args.has("v10"));
    return 0;
  }
  Engine engine(context.templatesDir);
  Teds teds = engine.decode(read.image, args.has("v10"));
  const Facts facts = {
      {"Bus", bus.busName()}, {"Device", familyText(bus.family())}, {"Source", read.image.origin}};
  printTeds(context, engine, teds, &read.image, facts);
  if (!context.json) std::cout << "\n" << formatImage(read.image);
  return 0;
}

int runWrite(std::span<char* const> argv) {
  const Args args(argv, busOptions({{"yes", 'y', false}}));
  if (args.has("help")) {
    printHelp(helpOf("write"));
    return 0;
  }
  const Context context = makeContext(args);
  const TedsImage image = imageFromArguments(args.positional(), context.templatesDir);
  BusSession bus(args);
  const base::ChipModel& chip = chipOf(bus.family());
  const bool lockingWrite = bus.family() == base::kFamilyDs2430a && image.wantsV10Engine();
  base::ChipWrite plan = planWrite(image, bus.family());
  // A locked DS2430A keeps the Basic TEDS in its register and 31 bytes of data in memory.
  const std::size_t room = lockingWrite ? base::kLockedDs2430aRoom : plan.room;
  if (image.usedBodySize() > room) {
    throw Failure("the template data take " + std::to_string(image.usedBodySize()) + " bytes; the " +
                  chip.name + " holds " + std::to_string(room) + " in " + base::layoutName(plan.layout));
  }
  if (!args.has("yes")) {
    std::string question = "Write template " + std::to_string(image.templateId()) + " to the " + chip.name +
                           " on " + bus.busName() + "?";
    if (lockingWrite) question += " This locks the DS2430A's application register for good.";
    if (!confirmed(question)) throw Failure("nothing written");
  }
  int32_t result = 0;
  if (lockingWrite) {
    const auto v1 = base::lockedDs2430aImage(image.basic, image.body);
    result = stdcdll_write_v1_memory(v1.data());
    plan.layout = base::ChipLayout::LockedRegister;
  } else {
    result = stdcdll_write_memory(plan.image.data(), plan.layoutFlag, plan.selectorHint);
  }
  if (result == FERRUN_CHIP_NOT_FOUND) throw Failure("no TEDS memory chip on the bus " + bus.busName());
  if (result == FERRUN_ADAPTER_CHECK)
    throw Failure("the adapter failed on the bus " + bus.busName() + ": " + owbus_last_error());
  if (result == FERRUN_NOT_VERIFIED) throw Failure("the chip does not read back what was written");
  if (result != FERRUN_DONE) throw Failure("writing failed with code " + std::to_string(result));
  if (context.json) {
    std::cout << "{\"written\": true, \"chip\": " << jsonString(chip.name)
              << ", \"layout\": " << jsonString(base::layoutName(plan.layout))
              << ", \"template\": " << image.templateId() << "}\n";
  } else {
    std::cout << "Wrote template " << image.templateId() << " to the " << familyText(bus.family()) << " in "
              << base::layoutName(plan.layout) << ".\n";
  }
  return 0;
}

}  // namespace teds
