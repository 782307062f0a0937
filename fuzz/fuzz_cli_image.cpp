// The tool's image reader on arbitrary input: it must either refuse with ImageError or
// give an image that survives the tool's own text form unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "api/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  teds::TedsImage image;
  try {
    image = teds::parseImage(input);
  } catch (const teds::ImageError&) {
    return 0;
  }
  const auto again = teds::parseImage(teds::formatImage(image));
  const std::size_t used = image.usedBodySize();
  if (again.basic != image.basic || again.usedBodySize() != used ||
      !std::equal(image.body.begin(), image.body.begin() + used, again.body.begin())) {
    std::abort();
  }
  (void)teds::v10Memory(image);
  (void)teds::lmsMemory(image);
  return 0;
}
