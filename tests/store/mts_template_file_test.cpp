// The store's MTS engine: loaded from the current directory when first needed, tried
// again after a failure, and apart from the process's V1.0 engine.
#include <gtest/gtest.h>

#include "record_file_fixture.h"

namespace {

using namespace storetest;

// The whole test runs in one process whose MTS engine is not loaded yet.
TEST(MtsTemplateFile, IsLoadedFromTheCurrentDirectoryWhenFirstFound) {
  ScratchDir dir;
  const std::string path = dir.file("mts.txt");
  const int32_t handle = CreateNewStoredDataStruct();
  {
    const InDirectory inData(kDataDir);
    const sccontrolstruct scc = selectCases({1});
    const auto record = mtsRecord(scc);
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, record.get(), 0, 0));
    ASSERT_EQ(0, save(handle, path, 0, 1, scc));
  }
  const int32_t readBack = CreateNewStoredDataStruct();
  {
    const InDirectory elsewhere(dir.file(""));
    EXPECT_EQ(CALDEN_FILE_MALFORMED, read(readBack, path));
    EXPECT_EQ(0, GetNumberOfSavedItems(readBack));
  }
  {
    const InDirectory inData(kDataDir);
    EXPECT_EQ(0, read(readBack, path));
    EXPECT_EQ(storedRecords(handle), storedRecords(readBack));
  }
  EXPECT_EQ(nullptr, gTedsinfoptr);
  EXPECT_EQ(0, getTEDSCurrentFormat());
}

}  // namespace
