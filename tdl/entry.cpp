// The parse entry: orlin() reads one TDL file into a new collection.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "ownership.h"
#include "parser.h"
#include "tedskit/orlin.hpp"

namespace {

// The whole file, or false when reading fails part way.
bool readAll(std::FILE* f, std::string& out) {
  char chunk[65536];
  for (;;) {
    const std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
    out.append(chunk, n);
    if (n < sizeof chunk) return std::ferror(f) == 0;
  }
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

int32_t orlin(const char* path) {
  try {
    auto* collection = new CTDLTemplateCollection;
    orlin_detail::adoptCollection(collection);
    orlin_detail::setLastCollection(collection);
    if (path == nullptr) return ORLIN_FILE_NOT_OPENED;

    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return ORLIN_FILE_NOT_OPENED;
    collection->SetTemplateFilename(path);

    std::string text;
    if (!readAll(file.get(), text)) {
      std::fprintf(stderr, "read() in flex scanner failed\n");
      return ORLIN_SCANNER_FAILED;
    }
    file.reset();

    switch (orlin_detail::parseTdl(text, *collection)) {
      case orlin_detail::ParseOutcome::ScannerFailed: return ORLIN_SCANNER_FAILED;
      default: return ORLIN_OK;
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "out of memory while reading %s\n", path == nullptr ? "" : path);
    return ORLIN_SCANNER_FAILED;
  }
}
