#include "teds_info/basic_teds.h"

#include "teds_info/tdl_bits.h"

namespace dorvia {

TedsBasicNumbers readBasicNumbers(std::span<const uint8_t, 8> appreg) {
  int32_t cursor = 0;
  auto next = [&](int bits) { return static_cast<int32_t>(readBitField(appreg, bits, cursor)); };
  TedsBasicNumbers n{};
  n.manufacturerID = next(kManufacturerBits);
  n.modelNumber = next(kModelNumberBits);
  n.versionLetter = next(kVersionLetterBits);
  n.versionNumber = next(kVersionNumberBits);
  n.serialNumber = next(kSerialNumberBits);
  return n;
}

}  // namespace dorvia
