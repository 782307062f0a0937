// How a bus and its chips are named to the user.
#ifndef TEDSKIT_API_BUS_CHIP_NAMES_H
#define TEDSKIT_API_BUS_CHIP_NAMES_H

#include <string>

#include "base/fixed_meanings.h"

namespace teds {

// A bus name for owbus: a bare path is a bus file of the simulated bus, "usb" the first
// USB adapter, and "back-end:where" goes to owbus as it is.
std::string busNameOf(const std::string& given);

// The bus name as a user wrote it: a simulated bus without its "sim:".
std::string busShownName(const std::string& busName);

// The chip model of a family; ferrun finds only the families of the table, other chips on
// the bus show as "unknown chip".
const tedskit::base::ChipModel& chipOf(int family);
// "DS2431 (family 2Dh)".
std::string familyText(int family);
// "DS2431", "DS2406 switch".
std::string chipName(int family);

}  // namespace teds

#endif
