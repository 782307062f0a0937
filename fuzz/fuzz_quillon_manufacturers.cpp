// Manufacturer files from outside through the manufacturer list.
#include <cstdint>

#include "fuzz/listing_file.h"
#include "tedskit/quillon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzzlisting::ListingDir& dir = fuzzlisting::listingDir();
  dir.write("Manufacture.txt", data, size);
  IDNameNode* first = nullptr;
  const int32_t count = QUILLON_GetManufacturerNameLookupTable(dir.path(), &first);
  if (count < 0 || first == nullptr) __builtin_trap();
  fuzzlisting::walk(first, count);
  return 0;
}
