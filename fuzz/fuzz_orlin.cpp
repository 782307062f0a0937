// Feeds arbitrary bytes to orlin() as a TDL file. Any input must give a result code and
// a collection, never a crash, an overrun, a hang or an exit.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tedskit/orlin.hpp"

namespace {

// One in-memory file, rewritten for every input.
int inputFile() {
  static const int fd = memfd_create("fuzz_orlin.tdl", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = inputFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
  std::size_t written = 0;
  while (written < size) {
    const ssize_t n = pwrite(fd, data + written, size - written, static_cast<off_t>(written));
    if (n <= 0) std::abort();
    written += static_cast<std::size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  const int32_t result = orlin(path.c_str());
  if (result != ORLIN_OK && result != ORLIN_SCANNER_FAILED) std::abort();
  CTDLTemplateCollection* collection = getTDLCollection();
  if (collection == nullptr) std::abort();

  // Walk what was built, as the engine would, then release it so memory stays flat.
  char line[256];
  for (CTDLTemplate* t : collection->m_templates) {
    for (CTDLProperty* p : t->m_properties) {
      p->createVLMTemplateString(line);
      p->getPropertyDatatype();
      p->getVLMFieldStructDatatype();
    }
    delete t;
  }
  delete collection;
  return 0;
}
