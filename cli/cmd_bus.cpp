#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>

#include "commands.h"
#include "engine.h"
#include "report.h"
#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace teds {
namespace {

constexpr std::size_t kPage = 32;

struct ChipInfo {
  const char* name;
  std::size_t size;  // bytes of TEDS memory that a read delivers
  std::size_t writable;
};

ChipInfo chipInfo(int family) {
  switch (family) {
    case 0x14:
      return {"DS2430A", 32, 32};
    case 0x2D:
      return {"DS2431", 128, 128};
    case 0x23:
      return {"DS2433", 512, 512};
    case 0x43:
      return {"DS28EC20", 2560, 32};
    default:
      return {"unknown chip", 2560, 32};
  }
}

std::string familyText(int family) {
  char text[48];
  std::snprintf(text, sizeof text, "%s (family %02Xh)", chipInfo(family).name, family & 0xFF);
  return text;
}

// --bus, else TEDSKIT_BUS, else the bundled simulated sensor. A bare path is a bus file
// of the simulated bus; "back-end:where" goes to the adapter layer as it is.
std::string busSpecification(const Args& args) {
  std::string busName = args.value("bus").value_or("");
  if (busName.empty()) {
    const char* environment = std::getenv("TEDSKIT_BUS");
    busName = environment != nullptr && *environment != '\0' ? environment : defaultBusFile().string();
  }
  const auto colon = busName.find(':');
  const bool hasBackEnd = colon != std::string::npos && colon > 0 &&
                          std::all_of(busName.begin(), busName.begin() + colon, [](char c) {
                            return std::isalnum(static_cast<unsigned char>(c)) != 0;
                          });
  // "usb" alone is the first USB adapter, not a bus file of that name.
  return hasBackEnd || busName == "usb" ? busName : "sim:" + busName;
}

// One adapter session on the chosen bus, closed when it goes.
class BusSession {
 public:
  BusSession(const Args& args) {
    const std::string busName = busSpecification(args);
    busName_ = busName.starts_with("sim:") ? busName.substr(4) : busName;
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
  std::string busName_;
  int32_t family_ = 0;
  bool open_ = false;
};

struct ChipRead {
  TedsImage image;
  std::vector<uint8_t> chip;                  // the chip's memory as stored, page checksums included
  std::optional<std::array<uint8_t, 8>> reg;  // a DS2430A's application register
};

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
  const ChipInfo info = chipInfo(bus.family());
  ChipRead read;
  read.chip.assign(memory.begin(), memory.begin() + info.size);
  if (bus.family() == 0x14) {
    read.reg = reg;
    if (registerUsed != 0) {
      read.image = fromV10Images(reg, std::span(memory.data(), kPage));
      read.image.origin = "DS2430A with locked application register";
      return read;
    }
  }
  read.image = fromChipImage(read.chip);
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

std::vector<OptionSpec> busOptions(std::vector<OptionSpec> more) {
  more.push_back({"bus", 'b', true});
  more.push_back({"channel", 'c', true});
  return withCommonOptions(std::move(more));
}

// The image as stdcdll_write_memory takes it for the chip's layout, and the layout flag.
struct WritePlan {
  std::vector<uint8_t> image = std::vector<uint8_t>(FERRUN_MAX_IMAGE, 0);
  int32_t layoutFlag = 0;
  int32_t selectorHint = 0;
  std::string layout;
  std::size_t room = 0;  // bytes of template data (selector byte on) the layout holds
};

// Page 0 holds `first` bytes of template data in a layout, every further page 31.
std::size_t layoutRoom(std::size_t chipBytes, std::size_t first) {
  return chipBytes < kPage ? 0 : first + (chipBytes / kPage - 1) * (kPage - 1);
}

WritePlan planWrite(const TedsImage& image, int family) {
  const std::size_t writable = chipInfo(family).writable;
  WritePlan plan;
  const std::size_t body = image.usedBodySize();
  if (image.isLms()) {
    const auto memory = lmsMemory(image);
    std::copy_n(memory.begin(), kPage, plan.image.begin());
    plan.selectorHint = 1;
    plan.layout = "unchecked LMS layout";
    plan.room = kPage - 8;  // only page 0 is written
  } else if (family == 0x14) {
    const auto memory = memoryImage(image, kPage);
    std::copy_n(memory.begin(), kPage, plan.image.begin());
    plan.layoutFlag = 1;  // the DS2430A recomputes the checksum
    plan.layout = "layout A";
    plan.room = kPage - 9;
  } else if (image.wantsV10Engine()) {
    // Split image: Basic TEDS, checksum byte, body; goes to layout A.
    std::copy(image.basic.begin(), image.basic.end(), plan.image.begin());
    std::copy_n(image.body.begin(), std::min(body, plan.image.size() - 9), plan.image.begin() + 9);
    unsigned sum = 0;
    for (std::size_t i = 0; i < kPage; ++i) sum += i == 8 ? 0 : plan.image[i];
    plan.image[8] = static_cast<uint8_t>((256 - sum % 256) % 256);
    plan.layout = "layout A";
    plan.room = layoutRoom(writable, kPage - 9);
  } else {
    // Checksum-prefixed stream: goes to layout B.
    const auto memory = memoryImage(image, kPage);
    std::copy_n(memory.begin(), std::min(memory.size(), plan.image.size()), plan.image.begin());
    plan.layout = "layout B";
    plan.room = layoutRoom(writable, kPage - 17);
  }
  return plan;
}

}  // namespace

int runRead(std::span<char* const> argv) {
  const Args args(argv, busOptions({{"hex", 0, false}, {"raw", 0, false}, {"v10", 0, false}}));
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
  const TedsImage image = imageFromArguments(args.positional());
  BusSession bus(args);
  const ChipInfo info = chipInfo(bus.family());
  const bool lockingWrite = bus.family() == 0x14 && image.wantsV10Engine();
  WritePlan plan = planWrite(image, bus.family());
  // A locked DS2430A keeps the Basic TEDS in its register and 31 bytes of data in memory.
  const std::size_t room = lockingWrite ? kPage - 1 : plan.room;
  if (image.usedBodySize() > room) {
    throw Failure("the template data take " + std::to_string(image.usedBodySize()) + " bytes; the " +
                  info.name + " holds " + std::to_string(room) + " in " + plan.layout);
  }
  if (!args.has("yes")) {
    std::string question = "Write template " + std::to_string(image.templateId()) + " to the " + info.name +
                           " on " + bus.busName() + "?";
    if (lockingWrite) question += " This locks the DS2430A's application register for good.";
    if (!confirmed(question)) throw Failure("nothing written");
  }
  int32_t result = 0;
  if (lockingWrite) {
    const auto memory = v10Memory(image);
    std::array<uint8_t, FERRUN_V1_IMAGE_SIZE> v1{};
    std::copy(image.basic.begin(), image.basic.end(), v1.begin());
    std::copy_n(memory.begin(), kPage, v1.begin() + 8);
    result = stdcdll_write_v1_memory(v1.data());
    plan.layout = "locked application register";
  } else {
    result = stdcdll_write_memory(plan.image.data(), plan.layoutFlag, plan.selectorHint);
  }
  if (result == FERRUN_CHIP_NOT_FOUND) throw Failure("no TEDS memory chip on the bus " + bus.busName());
  if (result == FERRUN_ADAPTER_CHECK)
    throw Failure("the adapter failed on the bus " + bus.busName() + ": " + owbus_last_error());
  if (result == FERRUN_NOT_VERIFIED) throw Failure("the chip does not read back what was written");
  if (result != FERRUN_DONE) throw Failure("writing failed with code " + std::to_string(result));
  if (context.json) {
    std::cout << "{\"written\": true, \"chip\": " << jsonString(info.name)
              << ", \"layout\": " << jsonString(plan.layout) << ", \"template\": " << image.templateId()
              << "}\n";
  } else {
    std::cout << "Wrote template " << image.templateId() << " to the " << familyText(bus.family()) << " in "
              << plan.layout << ".\n";
  }
  return 0;
}

}  // namespace teds
