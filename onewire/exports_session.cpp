// Session, detection, DS2430A register and DS2406 switch exports.
#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "base/guard.h"
#include "bus.h"
#include "sequences.h"
#include "tedskit/ferrun.h"

using namespace ferrun;
using tedskit::base::guard;

namespace {
constexpr int16_t kSerialPortType = 5;
constexpr int16_t kUsbPortType = 6;
// The long waits between the steps of a V1.0 write; the data-sheet waits are inside the
// copies, so nothing more is needed between them.
constexpr uint32_t kLongV1StepWaitMs = 200;
constexpr uint8_t kLockedStatus = 1;

uint8_t switchValue(int16_t channel) {
  switch (channel) {
    case 1:
      return 0x1F;
    case 2:
      return 0x3F;
    case 3:
      return 0x5F;
    default:
      return 0x7F;
  }
}

// Reads the register and lock state back: true when they hold `reg` (and a lock, when
// one is expected).
bool registerHolds(std::span<const uint8_t, 8> reg, bool expectLocked) {
  if (!sessionValid()) return false;
  std::array<uint8_t, 8> back{};
  ds2430aReadRegister(back);
  int32_t locked = -1;
  ds2430aReadLock(locked);
  return std::equal(back.begin(), back.end(), reg.begin()) && (!expectLocked || locked == kLockedStatus);
}
}  // namespace

namespace {

int32_t closeCom(void);

int32_t openCom(int32_t port) {
  State& s = state();
  if (s.handle != 0) return 1;
  const bool usb = port == FERRUN_USB_PORT;
  s.handle = TMExtendedStartSession(static_cast<int16_t>(usb ? 1 : port),
                                    usb ? kUsbPortType : kSerialPortType, nullptr);
  if (TMSetup(s.handle) == 1) {
    s.switchPresent = familySearch(kFamilyDs2406) ? 1 : 0;
    return 1;
  }
  closeCom();
  return 0;
}

int32_t closeCom(void) {
  State& s = state();
  TMClose(s.handle);
  const int32_t result = TMEndSession(s.handle);
  s.handle = 0;
  return result;
}

int32_t readFamily(int32_t* family) {
  if (!family) return FERRUN_MISSING_ARGUMENT;
  reset();
  if (!sessionValid()) return FERRUN_DONE;
  if (!echoCheckPasses()) return FERRUN_ADAPTER_CHECK;
  *family = detectChipRetrying();
  if (adapterFailed()) return FERRUN_ADAPTER_CHECK;
  return *family != 0 ? FERRUN_DONE : FERRUN_CHIP_NOT_FOUND;
}

int32_t readAppreg(unsigned char* reg, int32_t* locked) {
  if (!reg || !locked) return FERRUN_MISSING_ARGUMENT;
  reset();
  if (!sessionValid()) return FERRUN_DONE;
  if (!echoCheckPasses()) return FERRUN_ADAPTER_CHECK;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    clearAdapterFailure();
    if (!familySearch(kFamilyDs2430a)) {
      if (adapterFailed()) continue;
      return FERRUN_CHIP_NOT_FOUND;
    }
    ds2430aReadRegister(std::span<uint8_t, 8>(reg, 8));
    ds2430aReadLock(*locked);
    if (!adapterFailed()) return FERRUN_DONE;
  }
  return FERRUN_ADAPTER_CHECK;
}

int32_t writeAppreg(const unsigned char* reg) {
  if (!reg) return FERRUN_MISSING_ARGUMENT;
  const std::span<const uint8_t, 8> bytes(reg, 8);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    ds2430aWriteRegister(bytes);
    if (registerHolds(bytes, false)) return FERRUN_DONE;
    if (!sessionValid()) break;
  }
  return FERRUN_NOT_VERIFIED;
}

int32_t writeV1Memory(const unsigned char* image) {
  if (!image) return FERRUN_MISSING_ARGUMENT;
  reset();
  if (!echoCheckPasses()) return FERRUN_ADAPTER_CHECK;
  bool ds2430a = familySearch(kFamilyDs2430a);
  if (!ds2430a && !familySearch(kFamilyDs2431)) return FERRUN_CHIP_NOT_FOUND;
  select();
  const bool longWaits = owbus_programming_waits() == OWBUS_WAITS_LONG;
  auto stepWait = [&] {
    if (longWaits) waitMs(kLongV1StepWaitMs);
  };
  if (!ds2430a) {
    // A DS2431 takes its TEDS through stdcdll_write_memory.
    stepWait();
    return FERRUN_DONE;
  }
  const std::span<const uint8_t, 32> memory(image + 8, 32);
  const std::span<const uint8_t, 8> reg(image, 8);
  // Each try repeats every step: the memory copy again, the register write and the lock
  // only until the register is locked.
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) select();
    ds2430aWriteMemory(memory);
    stepWait();
    ds2430aWriteRegister(reg);
    stepWait();
    ds2430aCopyAndLockRegister();  // waits for the register's programming itself
    std::array<uint8_t, 32> back{};
    ds2430aReadMemory(back);
    const bool memoryHolds = std::equal(back.begin(), back.end(), memory.begin());
    if (memoryHolds && registerHolds(reg, true)) return FERRUN_DONE;
    if (!sessionValid()) break;
  }
  return FERRUN_NOT_VERIFIED;
}

int32_t ds2406Channel(int32_t channel) {
  State& s = state();
  if (!sessionValid() || !familySearch(kFamilyDs2406)) return FERRUN_FAILED;
  const auto wanted = static_cast<int16_t>(channel);
  if (ds2406WriteStatus(switchValue(wanted))) {
    s.channel = wanted;
    return 1;
  }
  s.channel = -1;
  return FERRUN_FAILED;
}

int32_t triaxEnabled(void) { return state().switchPresent; }

}  // namespace

extern "C" {

int32_t stdcdll_OpenCom(int32_t port) {
  return guard(FERRUN_FAILED, [&] { return openCom(port); });
}

int32_t stdcdll_CloseCom(void) {
  return guard(FERRUN_FAILED, [&] { return closeCom(); });
}

int32_t stdcdll_read_family(int32_t* family) {
  return guard(FERRUN_CHIP_NOT_FOUND, [&] { return readFamily(family); });
}

int32_t stdcdll_read_appreg(unsigned char* reg, int32_t* locked) {
  return guard(FERRUN_CHIP_NOT_FOUND, [&] { return readAppreg(reg, locked); });
}

int32_t stdcdll_write_appreg(const unsigned char* reg) {
  return guard(FERRUN_NOT_VERIFIED, [&] { return writeAppreg(reg); });
}

int32_t stdcdll_write_v1_memory(const unsigned char* image) {
  return guard(FERRUN_NOT_VERIFIED, [&] { return writeV1Memory(image); });
}

int32_t stdcdll_ds2406_channel(int32_t channel) {
  return guard(FERRUN_FAILED, [&] { return ds2406Channel(channel); });
}

int32_t stdcdll_triax_enabled(void) {
  return guard(-1, [&] { return triaxEnabled(); });
}

}  // extern "C"
