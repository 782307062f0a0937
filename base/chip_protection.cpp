#include "base/chip_protection.h"

#include <algorithm>

#include "base/fixed_meanings.h"

namespace tedskit::base {

std::optional<PageRefusal> pageRefusal(std::span<const uint8_t> now, std::span<const uint8_t> wanted,
                                       std::span<const uint8_t> control) {
  const std::size_t size = std::min(now.size(), wanted.size());
  for (std::size_t at = 0; at < size; ++at) {
    const std::size_t page = at / kPage;
    if (page >= control.size() || wanted[at] == now[at]) continue;
    if (control[page] == kPageWriteProtected) return PageRefusal{page, false};
    if (control[page] == kPageEpromMode && (now[at] & wanted[at]) != wanted[at])
      return PageRefusal{page, true};
  }
  return std::nullopt;
}

}  // namespace tedskit::base
