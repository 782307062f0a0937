// Record files from outside: any bytes read as a record file. Every read gives one of
// its result codes, and what it stored saves and reads again. (The select-case values
// of V1.0 records go with the save call, not with the records, so a second read may
// lay such records out differently.)
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "tedskit/calden.h"

namespace {

void check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

// The V1.0 engine opens its template file relative to the current directory, so the
// fuzzer runs in the shipped data folder (it is started from the source root).
struct Setup {
  std::string input;
  std::string saved;
  int32_t handle;
  int32_t readBack;

  Setup() {
    if (chdir("data") != 0) {
      std::fprintf(stderr, "fuzz_record_file: run me from the source root\n");
    }
    const std::string base = "/tmp/fuzz_record_file." + std::to_string(getpid());
    input = base + ".in";
    saved = base + ".out";
    handle = CreateNewStoredDataStruct();
    readBack = CreateNewStoredDataStruct();
  }
  ~Setup() {
    std::remove(input.c_str());
    std::remove(saved.c_str());
  }
};

Setup& setup() {
  static Setup instance;
  return instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Setup& s = setup();
  std::FILE* file = std::fopen(s.input.c_str(), "wb");
  if (file == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);

  const int32_t result = ReadTEDSDataFromFile(s.handle, s.input.c_str(), ".", nullptr, nullptr);
  check(result == CALDEN_SUCCESS || result == CALDEN_FILE_MALFORMED);
  const int32_t stored = GetNumberOfSavedItems(s.handle);
  check(stored >= 0);

  if (result == CALDEN_SUCCESS && stored > 0) {
    const sccontrolstruct none{};
    const int32_t saved = SaveTEDSReadToFile(s.handle, s.saved.c_str(), 0, ".", 0, none);
    check(saved == CALDEN_SUCCESS || saved == CALDEN_GENERAL_ERROR);
    if (saved == CALDEN_SUCCESS) {
      const int32_t again = ReadTEDSDataFromFile(s.readBack, s.saved.c_str(), ".", nullptr, nullptr);
      check(again == CALDEN_SUCCESS || again == CALDEN_FILE_MALFORMED);
      check(GetNumberOfSavedItems(s.readBack) <= stored);
    }
  }
  ClearStoredTedsDataStruct(s.handle);
  ClearStoredTedsDataStruct(s.readBack);
  return 0;
}
