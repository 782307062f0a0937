// The back ends' insides, where the public calls cannot reach: a DS2480B that refuses a
// baud rate, the DS2490's recoveries, the byte packing of both protocols, port numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>

#include "backend.h"
#include "busfile.h"
#include "ds2480b_backend.h"
#include "ds2480b_emulator.h"
#include "ds2490_backend.h"
#include "ds2490_emulator.h"
#include "traffic.h"

namespace {

using namespace owbus;

constexpr const char* kBus =
    "device DS2431\n serial 000000000001\n memory 0000 5A A5\nend\n"
    "device DS2433\n serial 000000000002\nend\n"
    "device DS2430A\n serial 000000000003\nend\n";

void load(SimBus& bus, const char* text = kBus) {
  std::string error;
  ASSERT_TRUE(parseBusFile(text, "test", bus.chips, error)) << error;
}

// A serial line straight into the emulator: a BREAK powers it up, as on a real line.
class EmulatorLink final : public SerialLink {
 public:
  explicit EmulatorLink(bool refuseFasterBaud) : refuse_(refuseFasterBaud) { load(bus_); }
  void write(std::span<const uint8_t> bytes) override {
    std::vector<uint8_t> out;
    for (uint8_t b : bytes) {
      // An adapter asked for a rate the line cannot carry is never heard switching.
      const bool fasterBaud = ds2480b::isConfiguration(b) && ((b >> 4) & 7) == 7 && ((b >> 1) & 7) != 0;
      if (refuse_ && fasterBaud) continue;
      adapter_.feed(b, out);
    }
    answers_.insert(answers_.end(), out.begin(), out.end());
  }
  size_t read(std::span<uint8_t> into, int) override {
    const size_t n = std::min(into.size(), answers_.size());
    std::copy_n(answers_.begin(), n, into.begin());
    answers_.erase(answers_.begin(), answers_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
  }
  void drain() override {}
  void sendBreak() override { adapter_.powerUp(); }
  void setBaud(int baud) override { baud_ = baud; }
  void pause(int) override {}
  const std::string& name() const override { return name_; }
  int baud() const { return baud_; }

 private:
  bool refuse_;
  SimBus bus_;
  Ds2480bEmulator adapter_{bus_};
  std::deque<uint8_t> answers_;
  int baud_ = 0;
  std::string name_ = "/dev/ttyTEST";
};

std::vector<std::string> notes;
void collect(void*, const owbus_traffic* event) {
  if (event->kind == OWBUS_TRAFFIC_ADAPTER) notes.emplace_back(event->text);
}

TEST(Ds2480bBackend, StaysAt9600WhenTheAdapterDoesNotTakeTheFasterRate) {
  for (bool refuse : {false, true}) {
    auto link = std::make_unique<EmulatorLink>(refuse);
    EmulatorLink* line = link.get();
    Ds2480bBackend backend(std::move(link), Ds2480bOptions{"/dev/ttyTEST", 115200, 10});
    notes.clear();
    setTrafficSink(collect, nullptr);
    std::string error;
    ASSERT_TRUE(backend.start(error)) << error;
    setTrafficSink(nullptr, nullptr);
    EXPECT_EQ(backend.info().baud, refuse ? 9600 : 115200);
    EXPECT_EQ(line->baud(), refuse ? 9600 : 115200) << "the host's line follows";
    EXPECT_EQ(backend.info().revision, 3);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back(), "adapter: DS2480B revision 3 on /dev/ttyTEST at " +
                                std::string(refuse ? "9600" : "115200") + " baud");
    if (refuse) {
      EXPECT_EQ(notes.front(), "adapter: DS2480B on /dev/ttyTEST did not take 115200 baud; staying at 9600");
    }
    EXPECT_EQ(backend.reset(), ResetResult::Presence);
    const SearchPass pass = backend.search(Rom{});
    EXPECT_TRUE(pass.found);
  }
}

TEST(Ds2480bProtocol, ResetAnswersAndSearchPacking) {
  struct Case {
    uint8_t answer;
    ResetResult result;
    int revision;
  };
  for (const Case c : {Case{0xCD, ResetResult::Presence, 3}, Case{0xEE, ResetResult::Alarm, 3},
                       Case{0xCF, ResetResult::NoPresence, 3}, Case{0xC4, ResetResult::Short, 1}}) {
    const auto decoded = ds2480b::decodeResetAnswer(c.answer);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->result, c.result);
    EXPECT_EQ(decoded->revision, c.revision);
    EXPECT_EQ(ds2480b::encodeResetAnswer(c.result, c.revision, (c.answer & 0x20) != 0), c.answer);
  }
  EXPECT_FALSE(ds2480b::decodeResetAnswer(0x8D)) << "bits 7-6 must be set";

  const Rom preferred{0x2D, 0x01, 0x80, 0x00, 0xFF, 0x00, 0x00, 0x5A};
  const auto request = ds2480b::packSearch(preferred);
  std::array<uint8_t, 16> answer{};
  for (size_t bit = 0; bit < 64; ++bit) {
    ds2480b::setAnswerBit(answer, bit, bit % 3 == 0, ds2480b::preferredBit(request, bit));
    EXPECT_EQ(request[bit / 4] & (1 << (2 * (bit % 4))), 0) << "the even bits go out as 0";
  }
  const SearchPass pass = ds2480b::unpackSearch(answer);
  EXPECT_EQ(pass.rom, preferred);
  for (size_t bit = 0; bit < 64; ++bit) EXPECT_EQ(pass.discrepancy[bit], bit % 3 == 0) << bit;

  std::vector<uint8_t> out;
  ds2480b::appendData(out, std::array<uint8_t, 3>{0xE3, 0x00, 0xE3});
  EXPECT_EQ(out, (std::vector<uint8_t>{0xE3, 0xE3, 0x00, 0xE3, 0xE3}));
}

// The DS2490 back end on an emulated bridge the test can reach past the back end.
struct Usb {
  explicit Usb(const char* text = kBus) {
    load(bus, text);
    bus.chips.push_back(makeAdapterIdChip());
    auto transport = std::make_unique<Ds2490Emulator>(bus, owbus::clock());
    device = transport.get();
    backend = std::make_unique<Ds2490Backend>(std::move(transport), "usb:test");
    std::string error;
    EXPECT_TRUE(backend->start(error)) << error;
  }
  Clock own;
  SimBus bus{own};
  Ds2490Emulator* device = nullptr;
  std::unique_ptr<Ds2490Backend> backend;
};

std::string failure(const std::function<void()>& f) {
  try {
    f();
  } catch (const AdapterError& e) {
    return e.what();
  }
  return "";
}

TEST(Ds2490Backend, EveryFailureResetsTheBridgeAndTheNextCallWorks) {
  struct Case {
    const char* what;
    std::function<void(Usb&)> spoil;
    const char* says;
  };
  const Case cases[] = {
      {"a garbled status packet",
       [](Usb&) { faults().set(static_cast<int32_t>(Fault::GarbledAnswer), 0, 1); },
       "lost a command (its command FIFO overflowed) during a byte transfer; it was reset"},
      {"a lost answer", [](Usb&) { faults().set(static_cast<int32_t>(Fault::LostAnswer), 0, 1); },
       "did not finish a byte transfer within 100 status polls; it was reset"},
      {"a byte left over in EP3",
       [](Usb& u) {
         u.device->control(ds2490::kCommRequest, ds2490::kCommByteIo | ds2490::kFlagImmediate, 0xFF);
       },
       "holds more bytes than a byte transfer reads back; it was reset"},
  };
  for (const Case& c : cases) {
    Usb usb("device DS2431\n serial 000000000001\n memory 0000 5A A5\nend\n");
    ASSERT_EQ(usb.backend->reset(), ResetResult::Presence);
    c.spoil(usb);
    EXPECT_EQ(failure([&] { usb.backend->touchByte(0xCC); }), "the DS2490 on usb:test " + std::string(c.says))
        << c.what;
    faults().clear();
    EXPECT_EQ(usb.backend->reset(), ResetResult::Presence) << c.what;
    usb.backend->touchByte(0xCC);
    usb.backend->touchByte(0xF0);
    std::array<uint8_t, 4> memory{0x00, 0x00, 0xFF, 0xFF};
    usb.backend->block(memory);
    EXPECT_EQ(memory[2], 0x5A) << c.what << ": the DS2431 reads again";
    EXPECT_EQ(memory[3], 0xA5) << c.what;
  }
}

TEST(Ds2490Backend, SearchesFindEveryDeviceButTheAdaptersOwnIdChip) {
  Usb usb;
  std::vector<uint8_t> families;
  // The caller's search: below the last discrepancy follow the last ROM, 1 at it, 0 above.
  Rom last{};
  int lastDiscrepancy = 0;
  for (int pass = 0; pass < 8; ++pass) {
    Rom preferred{};
    for (int bit = 0; bit < lastDiscrepancy; ++bit) {
      const bool one = bit + 1 < lastDiscrepancy ? (last[bit / 8] >> (bit % 8)) & 1 : true;
      if (one) preferred[bit / 8] |= static_cast<uint8_t>(1 << (bit % 8));
    }
    const SearchPass found = usb.backend->search(preferred);
    ASSERT_TRUE(found.found);
    families.push_back(found.rom[0]);
    last = found.rom;
    lastDiscrepancy = 0;
    for (int bit = 0; bit < 64; ++bit) {
      if (found.discrepancy[bit] && !((found.rom[bit / 8] >> (bit % 8)) & 1)) lastDiscrepancy = bit + 1;
    }
    if (lastDiscrepancy == 0) break;
  }
  std::sort(families.begin(), families.end());
  EXPECT_EQ(families, (std::vector<uint8_t>{0x14, 0x23, 0x2D}));
}

TEST(PortNumbers, NameTheSerialDeviceOrTheUsbAdapter) {
  struct Case {
    int16_t number;
    int16_t type;
    const char* bus;
  };
  const Case cases[] = {
      {1, 5, "ds2480b:/dev/ttyS0"},
      {32, 5, "ds2480b:/dev/ttyS31"},
      {33, 5, "ds2480b:/dev/ttyUSB0"},
      {64, 5, "ds2480b:/dev/ttyUSB31"},
      {65, 5, "ds2480b:/dev/ttyACM0"},
      {96, 5, "ds2480b:/dev/ttyACM31"},
      {0, 5, ""},
      {97, 5, ""},
      {1, 6, "usb:0"},
      {3, 6, "usb:2"},
  };
  for (const Case& c : cases) EXPECT_EQ(busForPort(c.number, c.type), c.bus) << c.number << "/" << c.type;
}

}  // namespace
