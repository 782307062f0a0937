// Process-wide state of the simulated bus that outlives a session: the virtual clock,
// the transaction counter and the switchable faults. An emulated adapter's bus may keep
// a clock of its own.
#ifndef TEDSKIT_OWBUS_RUNTIME_H
#define TEDSKIT_OWBUS_RUNTIME_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace owbus {

enum class Fault {
  NoPresence = 1,
  EchoMismatch,
  FlipBit,
  Ds2406Crc,
  CopyFail,
  Vanish,
  // Faults of an emulated adapter's answers, between it and the host.
  LostAnswer,
  GarbledAnswer
};
inline constexpr int32_t kLastFault = static_cast<int32_t>(Fault::GarbledAnswer);

class Faults {
 public:
  bool set(int32_t kind, int32_t skip, int32_t count);
  // Takes one opportunity of the kind; true when the fault fires on it.
  bool fire(Fault fault);
  void clear();
  // Changes whenever the faults are cleared, so a bus can bring vanished chips back.
  uint64_t epoch() const { return epoch_; }

 private:
  struct Switch {
    int32_t skip = 0;
    int32_t count = 0;
  };
  std::array<Switch, kLastFault + 1> switches_{};
  uint64_t epoch_ = 0;
};

struct Clock {
  uint64_t nowUs = 0;
  uint64_t originUs = 0;  // where the reported bus time starts
  uint64_t transactions = 0;
};

// Standard-speed timing of the bus operations, for the virtual clock.
inline constexpr uint64_t kResetUs = 960;  // reset low plus presence detect
inline constexpr uint64_t kSlotUs = 65;    // one time slot with recovery
inline constexpr uint64_t kByteUs = 8 * kSlotUs;

Clock& clock();
Faults& faults();

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_RUNTIME_H
