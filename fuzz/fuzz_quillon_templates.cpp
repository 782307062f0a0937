// Template description files from outside through the template list.
#include <cstdint>

#include "fuzz/listing_file.h"
#include "tedskit/quillon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzzlisting::ListingDir& dir = fuzzlisting::listingDir();
  dir.write("TemplateDescription.txt", data, size);
  IDNameNode* first = nullptr;
  const int32_t count = QUILLON_GetTemplateIDNames(dir.path(), 0, 0, &first);
  if (count < 0 || first == nullptr) __builtin_trap();
  fuzzlisting::walk(first, count);
  return 0;
}
