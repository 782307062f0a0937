// A TEDS laid out as the whole memory of a chip, as a write would leave it: what a chip
// programmer burns, or what a reader of chip dumps expects, made without a bus.
#ifndef TEDSKIT_API_CHIP_DUMP_H
#define TEDSKIT_API_CHIP_DUMP_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/fixed_meanings.h"
#include "image.h"

namespace teds {

// The chips a dump is made for: "DS2430A", "DS2431", "DS2433" or "DS28EC20", in any case;
// nullptr for any other name.
const tedskit::base::ChipModel* dumpModelNamed(const std::string& name);
inline constexpr const char* kDumpModels = "DS2430A, DS2431, DS2433 or DS28EC20";

// model nullptr: the smallest paged chip that holds the TEDS. Throws EncodeFailure when the
// TEDS does not fit.
std::vector<uint8_t> chipDump(const TedsImage& image, const tedskit::base::ChipModel* model);

}  // namespace teds

#endif
