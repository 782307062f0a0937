// Record files from outside: any bytes read as a record file. Every read gives one of
// its result codes, and what it stored saves and reads again. The reading that passes
// over broken blocks finds every record the stopping one found, and more only past a
// broken block. (The select-case values
// of V1.0 records go with the save call, not with the records, so a second read may
// lay such records out differently.)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "store/record_file_scan.h"
#include "tedskit/calden.h"
#include "tedskit/dorvia.h"

namespace {

constexpr char kTemplateDirectory[] = "data";

void check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

// The fuzzer runs from the source root. The V1.0 engine and the store's MTS engine load
// their template files, relative to the current directory, once: both are loaded from the
// data folder before the first input (the MTS ones by reading an MTS block), and the
// fuzzer goes back to the root, where its corpus paths point.
void loadMtsEngine() {
  const std::string path = "/tmp/fuzz_record_file_mts." + std::to_string(getpid());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fputs("MTS Template,64\nMTS,999\n\"Manufacturer\",0,\n", file);
  std::fclose(file);
  const int32_t handle = CreateNewStoredDataStruct();
  ReadTEDSDataFromFile(handle, path.c_str(), kTemplateDirectory, nullptr, nullptr);
  ClearStoredTedsDataStruct(handle);
  // The passing-over reader linked into this binary keeps an MTS engine of its own.
  if (std::FILE* again = std::fopen(path.c_str(), "r")) {
    std::vector<tedskit::store::BrokenBlock> broken;
    tedskit::store::readRecordBlocks(
        again, kTemplateDirectory, tedskit::store::OnBroken::PassOver,
        [](const tedskit::store::ReadBlock&) {}, broken);
    std::fclose(again);
  }
  std::remove(path.c_str());
}

struct Setup {
  std::string input;
  std::string saved;
  int32_t handle;
  int32_t readBack;

  Setup() {
    if (chdir("data") == 0) {
      DORVIA_SetTEDSV10SupportState(1);
      DORVIA_SetTEDSV10SupportState(0);
      loadMtsEngine();
      if (chdir("..") != 0) std::abort();
    } else {
      std::fprintf(stderr, "fuzz_record_file: run me from the source root\n");
    }
    const std::string base = "/tmp/fuzz_record_file." + std::to_string(getpid());
    input = base + ".in";
    saved = base + ".out";
    handle = CreateNewStoredDataStruct();
    readBack = CreateNewStoredDataStruct();
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

  const int32_t result =
      ReadTEDSDataFromFile(s.handle, s.input.c_str(), kTemplateDirectory, nullptr, nullptr);
  check(result == CALDEN_SUCCESS || result == CALDEN_FILE_MALFORMED);
  const int32_t stored = GetNumberOfSavedItems(s.handle);
  check(stored >= 0);

  if (std::FILE* again = std::fopen(s.input.c_str(), "r")) {
    std::vector<tedskit::store::BrokenBlock> broken;
    int32_t passedOver = 0;
    const int32_t all = tedskit::store::readRecordBlocks(
        again, kTemplateDirectory, tedskit::store::OnBroken::PassOver,
        [&](const tedskit::store::ReadBlock&) { ++passedOver; }, broken);
    std::fclose(again);
    check((all == CALDEN_SUCCESS) == broken.empty());
    check((all == CALDEN_SUCCESS) == (result == CALDEN_SUCCESS));
    check(passedOver >= stored);
    if (result == CALDEN_SUCCESS) check(passedOver == stored);
    for (const auto& block : broken) check(block.line >= 1 && !block.reason.empty());
  }

  if (result == CALDEN_SUCCESS && stored > 0) {
    const sccontrolstruct none{};
    const int32_t saved = SaveTEDSReadToFile(s.handle, s.saved.c_str(), 0, kTemplateDirectory, 0, none);
    check(saved == CALDEN_SUCCESS || saved == CALDEN_GENERAL_ERROR);
    if (saved == CALDEN_SUCCESS) {
      const int32_t again =
          ReadTEDSDataFromFile(s.readBack, s.saved.c_str(), kTemplateDirectory, nullptr, nullptr);
      check(again == CALDEN_SUCCESS || again == CALDEN_FILE_MALFORMED);
      check(GetNumberOfSavedItems(s.readBack) <= stored);
    }
  }
  ClearStoredTedsDataStruct(s.handle);
  ClearStoredTedsDataStruct(s.readBack);
  // libFuzzer ends the process without running destructors: leave no file behind.
  std::remove(s.input.c_str());
  std::remove(s.saved.c_str());
  return 0;
}
