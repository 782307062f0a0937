// The adapter calls: session, bus primitives, device search and selection, CRC.
#include <cstring>

#include <vector>

#include "base/fixed_meanings.h"
#include "base/onewire_commands.h"
#include "crc.h"
#include "runtime.h"
#include "session.h"
#include "tedskit/owbus.h"
#include "traffic.h"

using namespace owbus;

namespace {

// What the caller's state buffer holds between search calls (AN187 search state).
struct SearchState {
  uint32_t magic = kMagic;
  Rom rom{};
  int32_t lastDiscrepancy = 0;
  bool lastDevice = false;
  static constexpr uint32_t kMagic = 0x5345524Bu;
};
static_assert(sizeof(SearchState) <= OWBUS_STATE_BUFFER_SIZE);

SearchState loadState(const void* buffer) {
  SearchState s;
  std::memcpy(&s, buffer, sizeof s);
  if (s.magic != SearchState::kMagic) s = SearchState{};
  return s;
}

void storeState(void* buffer, const SearchState& s) { std::memcpy(buffer, &s, sizeof s); }

int16_t familySearchSetup(int32_t handle, void* state, int16_t family) {
  if (!backendFor(handle) || !state) return 0;
  SearchState s;
  s.rom[0] = static_cast<uint8_t>(family);
  s.lastDiscrepancy = 64;
  storeState(state, s);
  return 1;
}

int16_t romOf(int32_t handle, void* state, int16_t* rom) {
  if (!backendFor(handle) || !state || !rom) return -1;
  SearchState s = loadState(state);
  if (rom[0] == 0) {
    for (size_t i = 0; i < s.rom.size(); ++i) rom[i] = s.rom[i];
  } else {
    for (size_t i = 0; i < s.rom.size(); ++i) s.rom[i] = static_cast<uint8_t>(rom[i]);
    storeState(state, s);
  }
  return 1;
}

uint16_t crcOver(int16_t length, const unsigned char* buffer, uint16_t crc, int16_t type) {
  if (length <= 0 || !buffer) return crc;
  for (int16_t i = 0; i < length; ++i) {
    crc = type == OWBUS_CRC16 ? crc16(crc, buffer[i]) : crc8(static_cast<uint8_t>(crc), buffer[i]);
  }
  return crc;
}

// One bus transaction on a valid handle: counted, then committed. An adapter that fails
// it leaves its reason for owbus_last_error.
template <typename F>
auto onBus(int32_t handle, int16_t invalid, F&& f) -> int16_t {
  return guard<int16_t>(invalid, [&]() -> int16_t {
    Backend* bus = backendFor(handle);
    if (!bus) return invalid;
    ++owbus::clock().transactions;
    try {
      const int16_t result = f(*bus);
      // A change the bus file did not keep never reached the chip: the call failed.
      if (!commit()) return invalid;
      return result;
    } catch (const AdapterError& e) {
      session().lastError = e.what();
      return invalid;
    }
  });
}

ResetResult tracedReset(Backend& bus) {
  const ResetResult r = bus.reset();
  traceReset(r);
  if (r == ResetResult::Short) session().lastError = "the 1-Wire bus is shorted";
  return r;
}

void tracedBlock(Backend& bus, std::span<uint8_t> bytes) {
  if (!tracing()) return bus.block(bytes);
  const std::vector<uint8_t> sent(bytes.begin(), bytes.end());
  bus.block(bytes);
  traceBytes(sent, bytes);
}

// Bytes from the caller: with a device chosen, the Skip ROM that opens a transaction is
// sent as Match ROM of that device, so that no other chip takes the command after it.
void callerBlock(Backend& bus, std::span<uint8_t> bytes) {
  Session& s = session();
  const bool addressed =
      s.chosen && s.afterReset && !bytes.empty() && bytes[0] == tedskit::base::onewire::kSkipRom;
  s.afterReset = false;
  if (!addressed) return tracedBlock(bus, bytes);
  std::array<uint8_t, 9> select{tedskit::base::onewire::kMatchRom};
  std::copy(s.chosen->begin(), s.chosen->end(), select.begin() + 1);
  tracedBlock(bus, select);
  tracedBlock(bus, bytes.subspan(1));
}

// Whether a search may stop at rom: any device, or with one chosen, it or a switch.
bool visible(const Rom& rom) {
  const Session& s = session();
  return !s.chosen || rom == *s.chosen || (rom[0] & 0x7F) == tedskit::base::kFamilyDs2406;
}

// One search pass from s: true with s advanced to the device found.
bool searchPass(Backend& bus, SearchState& s) {
  // Below the last discrepancy follow the previous ROM, at it take 1, above it 0.
  Rom preferred{};
  for (int bit = 1; bit <= 64; ++bit) {
    const size_t byte = static_cast<size_t>(bit - 1) / 8;
    const uint8_t mask = static_cast<uint8_t>(1u << ((bit - 1) % 8));
    const bool one = bit < s.lastDiscrepancy ? (s.rom[byte] & mask) != 0 : bit == s.lastDiscrepancy;
    if (one) preferred[byte] |= mask;
  }
  const SearchPass pass = bus.search(preferred);
  traceSearch(preferred, pass);
  if (!pass.found || crc8(pass.rom) != 0) return false;
  int lastZero = 0;
  for (int bit = 1; bit <= 64; ++bit) {
    const bool chose1 = (pass.rom[static_cast<size_t>(bit - 1) / 8] >> ((bit - 1) % 8)) & 1;
    if (pass.discrepancy[static_cast<size_t>(bit - 1)] && !chose1) lastZero = bit;
  }
  s.rom = pass.rom;
  s.lastDiscrepancy = lastZero;
  s.lastDevice = lastZero == 0;
  return true;
}

}  // namespace

extern "C" {

int32_t TMExtendedStartSession(int16_t port_number, int16_t port_type, void* /*options*/) {
  return guard<int32_t>(0, [&]() -> int32_t {
    Session& s = session();
    s.portNumber = port_number;
    s.portType = port_type;
    if (s.handle != 0) {
      s.lastError = "a 1-Wire session is already open";
      return 0;
    }
    std::string bus = currentBus();
    if (bus.empty()) bus = busForPort(port_number, port_type);
    if (bus.empty()) {
      s.lastError = "no 1-Wire bus configured: set TEDSKIT_BUS, for example sim:examples/sensor.bus (port " +
                    std::to_string(port_number) + " names no serial device)";
      return 0;
    }
    std::string error;
    auto backend = openBackend(bus, error);
    if (!backend) {
      s.lastError = error;
      return 0;
    }
    s.lastError.clear();
    s.backend = std::move(backend);
    s.handle = s.nextHandle++;
    if (s.nextHandle <= 0) s.nextHandle = 1;
    return s.handle;
  });
}

int16_t TMSetup(int32_t handle) {
  return guard<int16_t>(0, [&]() -> int16_t { return backendFor(handle) ? 1 : 0; });
}

int16_t TMValidSession(int32_t handle) {
  return guard<int16_t>(0, [&]() -> int16_t { return backendFor(handle) ? 1 : 0; });
}

int16_t TMTouchReset(int32_t handle) {
  return onBus(handle, -1, [](Backend& bus) -> int16_t {
    const auto result = static_cast<int16_t>(resetCode(tracedReset(bus)));
    session().afterReset = true;
    return result;
  });
}

int16_t TMTouchByte(int32_t handle, int16_t byte) {
  return onBus(handle, -1, [&](Backend& bus) -> int16_t {
    uint8_t one = static_cast<uint8_t>(byte);
    callerBlock(bus, std::span<uint8_t>(&one, 1));
    return one;
  });
}

int16_t TMBlockStream(int32_t handle, unsigned char* buffer, int16_t count) {
  if (count < 0 || (count > 0 && !buffer)) return -1;
  return onBus(handle, -1, [&](Backend& bus) -> int16_t {
    callerBlock(bus, std::span<uint8_t>(buffer, static_cast<size_t>(count)));
    return count;
  });
}

int16_t TMFamilySearchSetup(int32_t handle, void* state, int16_t family) {
  return guard<int16_t>(0, [&]() -> int16_t { return familySearchSetup(handle, state, family); });
}

int16_t TMNext(int32_t handle, void* state) {
  if (!state) return -1;
  return onBus(handle, -1, [&](Backend& bus) -> int16_t {
    session().afterReset = false;
    SearchState s = loadState(state);
    // Devices hidden by a choice are passed over as if they did not answer.
    for (;;) {
      if (s.lastDevice) {
        storeState(state, SearchState{});
        return 0;
      }
      if (!searchPass(bus, s)) {
        storeState(state, SearchState{});
        return 0;
      }
      if (visible(s.rom)) break;
    }
    storeState(state, s);
    return 1;
  });
}

int16_t TMRom(int32_t handle, void* state, int16_t* rom) {
  return guard<int16_t>(-1, [&]() -> int16_t { return romOf(handle, state, rom); });
}

int16_t TMAccess(int32_t handle, void* state) {
  if (!state) return -1;
  return onBus(handle, -1, [&](Backend& bus) -> int16_t {
    const SearchState s = loadState(state);
    if (!answered(tracedReset(bus))) return 0;
    std::array<uint8_t, 9> select{tedskit::base::onewire::kMatchRom};
    std::copy(s.rom.begin(), s.rom.end(), select.begin() + 1);
    tracedBlock(bus, select);
    session().afterReset = false;
    return 1;
  });
}

uint16_t TMCRC(int16_t length, const unsigned char* buffer, uint16_t crc, int16_t type) {
  return guard<uint16_t>(crc, [&] { return crcOver(length, buffer, crc, type); });
}

int16_t TMClose(int32_t handle) {
  return guard<int16_t>(-1, [&]() -> int16_t {
    if (!backendFor(handle)) return -1;
    guard([] { commit(); });
    return 1;
  });
}

int16_t TMEndSession(int32_t handle) {
  return guard<int16_t>(0, [&]() -> int16_t {
    Session& s = session();
    if (!backendFor(handle)) return 0;
    guard([] { commit(); });
    s.backend.reset();
    s.handle = 0;
    return 1;
  });
}

}  // extern "C"
