// The parse entry: orlin() reads one TDL file into a new collection.
#include <cstdio>
#include <memory>
#include <new>

#include "base/c_file.h"
#include "base/guard.h"
#include "lexer.h"
#include "ownership.h"
#include "parser.h"
#include "tedskit/orlin.hpp"

namespace {

int32_t parseFile(const char* path) {
  auto owned = std::make_unique<CTDLTemplateCollection>();
  orlin_detail::adoptCollection(owned.get());
  CTDLTemplateCollection* collection = owned.release();
  orlin_detail::setLastCollection(collection);
  if (path == nullptr) return ORLIN_FILE_NOT_OPENED;

  const auto file = tedskit::base::openFile(path, "rb");
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
}

// A parse that runs out of memory says so; the guard then reports the scanner failure.
int32_t parseReportingMemory(const char* path) {
  try {
    return parseFile(path);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "out of memory while reading %s\n", path == nullptr ? "" : path);
    throw;
  }
}

}  // namespace

int32_t orlin(const char* path) {
  return tedskit::base::guard(ORLIN_SCANNER_FAILED, [&] { return parseReportingMemory(path); });
}
