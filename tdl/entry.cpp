// The parse entry: orlin() reads one TDL file into a new collection.
#include <cstdio>
#include <memory>
#include <new>

#include "lexer.h"
#include "ownership.h"
#include "parser.h"
#include "tedskit/orlin.hpp"

namespace {

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

    std::FILE* f = file.get();
    const auto reader = [f](char* dst, std::size_t max) {
      const std::size_t n = std::fread(dst, 1, max, f);
      if (n == 0 && std::ferror(f) != 0) throw orlin_detail::ScanFailure("read() in flex scanner failed");
      return n;
    };
    switch (orlin_detail::parseTdl(reader, *collection)) {
      case orlin_detail::ParseOutcome::ScannerFailed:
        return ORLIN_SCANNER_FAILED;
      default:
        return ORLIN_OK;
    }
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "out of memory while reading %s\n", path == nullptr ? "" : path);
    return ORLIN_SCANNER_FAILED;
  }
}
