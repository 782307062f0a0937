// The record-file exports of libtedskit: the tool's save and load, with the skipped
// blocks handed to the caller.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "export_support.h"
#include "records/record_files.h"

using teds::argumentError;
using teds::run;

struct tedskit_records {
  struct Kept {
    teds::TedsImage image;
    bool v10 = false;
    int channel = CALDEN_NO_NUMBER;
    int unit = CALDEN_NO_NUMBER;
  };
  std::string templatesDir;
  std::vector<Kept> records;
  std::vector<tedskit::store::BrokenBlock> skipped;
};

namespace {

namespace fs = std::filesystem;

// Puts a file back as it was before a save of several records failed part way: cut back
// to its old length, or gone when it was not there.
class Restore {
 public:
  explicit Restore(const std::string& path) : path_(path) {
    std::error_code error;
    existed_ = fs::is_regular_file(path_, error);
    if (existed_) size_ = fs::file_size(path_, error);
  }
  ~Restore() {
    if (kept_) return;
    std::error_code error;
    if (existed_) fs::resize_file(path_, size_, error);
    else fs::remove(path_, error);
  }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;
  void keep() { kept_ = true; }

 private:
  fs::path path_;
  bool existed_ = false;
  std::uintmax_t size_ = 0;
  bool kept_ = false;
};

int32_t saveRecords(const char* path, const char* templates_dir, const tedskit_teds* const* teds,
                    const int32_t* channels, const int32_t* units, size_t count, int32_t append) {
  return run([&]() -> int32_t {
    if (path == nullptr || templates_dir == nullptr || (teds == nullptr && count != 0))
      return argumentError("tedskit_records_save needs a path, a template directory and the TEDS");
    for (size_t i = 0; i < count; ++i) {
      if (teds[i] == nullptr) return argumentError("TEDS " + std::to_string(i) + " is no handle");
      for (const auto& [numbers, what] : {std::pair{channels, "channel"}, std::pair{units, "unit"}}) {
        if (numbers != nullptr && numbers[i] < CALDEN_NO_NUMBER)
          return argumentError("record " + std::to_string(i) + ": a " + what + " number is 0 or more (-1: none), not " +
                               std::to_string(numbers[i]));
      }
    }
    teds::refuseUnsafeSave(path, append != 0, false, "save with append to add records to it");
    if (count == 0) return TEDSKIT_OK;
    Restore restore(path);
    teds::Engine engine(templates_dir);
    for (size_t i = 0; i < count; ++i) {
      const teds::Document& document = teds[i]->document;
      // The record takes the field array as the engine decodes it now, with the engine's
      // select-case values of that decode.
      teds::Teds decoded = engine.decode(document.engineImage(), document.teds().engine == teds::EngineKind::V10);
      teds::saveRecord(engine, decoded, path, append != 0 || i > 0,
                       channels == nullptr ? CALDEN_NO_NUMBER : channels[i], units == nullptr ? CALDEN_NO_NUMBER : units[i]);
    }
    restore.keep();
    return TEDSKIT_OK;
  });
}

}  // namespace

extern "C" {

int32_t tedskit_records_save(const char* path, const char* templates_dir, const tedskit_teds* const* teds,
                             size_t count, int32_t append) {
  return saveRecords(path, templates_dir, teds, nullptr, nullptr, count, append);
}

int32_t tedskit_records_save_numbered(const char* path, const char* templates_dir, const tedskit_teds* const* teds,
                                      const int32_t* channels, const int32_t* units, size_t count, int32_t append) {
  return saveRecords(path, templates_dir, teds, channels, units, count, append);
}

int32_t tedskit_records_load(const char* path, const char* templates_dir, tedskit_records** records) {
  return run([&]() -> int32_t {
    if (path == nullptr || templates_dir == nullptr || records == nullptr)
      return argumentError("tedskit_records_load needs a path, a template directory and a place for the result");
    *records = nullptr;
    teds::Engine engine(templates_dir);
    teds::RecordLoad load = teds::loadRecords(engine, path);
    auto made = std::make_unique<tedskit_records>();
    made->templatesDir = templates_dir;
    for (teds::Record& record : load.records) {
      const bool v10 = record.teds.engine == teds::EngineKind::V10;
      made->records.push_back({engine.encode(record.teds), v10, record.channel, record.unit});
    }
    made->skipped = std::move(load.skipped);
    *records = made.release();
    return TEDSKIT_OK;
  });
}

void tedskit_records_free(tedskit_records* records) {
  tedskit::base::guard([&] { delete records; });
}

int32_t tedskit_records_count(const tedskit_records* records, int32_t* count) {
  return run([&]() -> int32_t {
    if (records == nullptr || count == nullptr) return argumentError("no records or no place for the count");
    *count = static_cast<int32_t>(records->records.size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_records_get(const tedskit_records* records, int32_t index, tedskit_teds** teds, int32_t* channel,
                            int32_t* unit) {
  return run([&]() -> int32_t {
    if (records == nullptr || teds == nullptr || index < 0 ||
        static_cast<std::size_t>(index) >= records->records.size())
      return argumentError("no record " + std::to_string(index) + " (or no place for the handle)");
    *teds = nullptr;
    const auto& kept = records->records[static_cast<std::size_t>(index)];
    *teds = std::make_unique<tedskit_teds>(records->templatesDir.c_str(), kept.image, kept.v10).release();
    if (channel != nullptr) *channel = kept.channel;
    if (unit != nullptr) *unit = kept.unit;
    return TEDSKIT_OK;
  });
}

int32_t tedskit_records_skipped_count(const tedskit_records* records, int32_t* count) {
  return run([&]() -> int32_t {
    if (records == nullptr || count == nullptr) return argumentError("no records or no place for the count");
    *count = static_cast<int32_t>(records->skipped.size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_records_skipped(const tedskit_records* records, int32_t index, int64_t* line, const char** reason) {
  return run([&]() -> int32_t {
    if (records == nullptr || index < 0 || static_cast<std::size_t>(index) >= records->skipped.size())
      return argumentError("no skipped block " + std::to_string(index));
    const auto& block = records->skipped[static_cast<std::size_t>(index)];
    if (line != nullptr) *line = block.line;
    if (reason != nullptr) *reason = block.reason.c_str();
    return TEDSKIT_OK;
  });
}

}  // extern "C"
