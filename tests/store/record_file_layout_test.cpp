// Each block of a record file is laid out by its own template and select-case values,
// whatever block came before it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "record_file_fixture.h"

namespace {

using namespace storetest;

// A block's select-case values are its own: a block of a template with three select
// cases must not leave values for the next block's template.
TEST(RecordFileLayout, EveryBlockIsLaidOutByItsOwnSelectCaseValues) {
  struct Block {
    int32_t templateID;
    sccontrolstruct scc;
  };
  const Block microphone{27, selectCases({1, 1, 1})};
  const Block force{25, selectCases({1, 0, 0})};
  const Block plainAccelerometer{25, selectCases({0, 0, 0})};
  const std::array<std::array<Block, 2>, 3> orders{
      {{microphone, force}, {force, microphone}, {microphone, plainAccelerometer}}};
  for (const auto& order : orders) {
    SCOPED_TRACE(std::to_string(order[0].templateID) + " then " + std::to_string(order[1].templateID));
    ScratchDir dir;
    std::vector<Carried> expected;
    for (std::size_t i = 0; i < order.size(); ++i) {
      const int32_t handle = CreateNewStoredDataStruct();
      auto record = laidOutV10(order[i].templateID, order[i].scc);
      fillValues(record->array, 18);
      ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, &record->array, -1, -1));
      expected.push_back(carried(CALDEN_DESCRIPTOR_STANDARD, -1, -1, record->array));
      ASSERT_EQ(0, save(handle, dir.file("records.txt"), i == 0 ? 0 : 1, 1, order[i].scc));
    }
    const int32_t readBack = CreateNewStoredDataStruct();
    EXPECT_EQ(0, read(readBack, dir.file("records.txt")));
    EXPECT_EQ(expected, storedRecords(readBack));
  }
}

// Runs of blocks of one template, broken by another template: each record reads back
// with its own values and nothing of the block before it.
TEST(RecordFileLayout, RunsOfOneTemplateReadBackRecordByRecord) {
  struct Block {
    int32_t templateID;
    sccontrolstruct scc;
    const char* lastValue;
  };
  const sccontrolstruct force = selectCases({1, 0, 0});
  const Block blocks[] = {{25, force, "first"},  {25, force, "second"}, {27, selectCases({1, 1, 1}), "third"},
                          {25, force, "fourth"}, {25, selectCases({0, 0, 0}), "fifth"}};
  ScratchDir dir;
  std::vector<Carried> expected;
  for (std::size_t i = 0; i < std::size(blocks); ++i) {
    const int32_t handle = CreateNewStoredDataStruct();
    auto record = laidOutV10(blocks[i].templateID, blocks[i].scc);
    fillValues(record->array, 18);
    TEDSTemplateFieldStruct& last = record->array.items[record->array.numItems - 1];
    std::snprintf(last.value, sizeof last.value, "%s", blocks[i].lastValue);
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, &record->array, -1, -1));
    expected.push_back(carried(CALDEN_DESCRIPTOR_STANDARD, -1, -1, record->array));
    ASSERT_EQ(0, save(handle, dir.file("records.txt"), i == 0 ? 0 : 1, 1, blocks[i].scc));
  }
  const int32_t readBack = CreateNewStoredDataStruct();
  EXPECT_EQ(0, read(readBack, dir.file("records.txt")));
  EXPECT_EQ(expected, storedRecords(readBack));
}

// A record read in a run of blocks of one template holds the same bytes, all 391440 of
// them, as the same block read alone: values longer, shorter or empty after the block
// before leave nothing of it behind.
TEST(RecordFileLayout, ARecordReadInARunHoldsTheBytesOfItsBlockReadAlone) {
  const sccontrolstruct force = selectCases({1, 0, 0});
  struct Block {
    int32_t templateID;
    const char* lastValue;
    int32_t filled;
  };
  const Block blocks[] = {{25, "first", 18}, {25, "2", 18},   {25, "", 3},
                          {25, "a much longer value than before", 18}, {27, "other", 18}, {25, "x", 9}};
  ScratchDir dir;
  for (std::size_t i = 0; i < std::size(blocks); ++i) {
    const int32_t handle = CreateNewStoredDataStruct();
    const sccontrolstruct scc = blocks[i].templateID == 25 ? force : selectCases({1, 1, 1});
    auto record = laidOutV10(blocks[i].templateID, scc);
    fillValues(record->array, blocks[i].filled);
    TEDSTemplateFieldStruct& last = record->array.items[record->array.numItems - 1];
    std::snprintf(last.value, sizeof last.value, "%s", blocks[i].lastValue);
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, &record->array, 0, 0));
    ASSERT_EQ(0, save(handle, dir.file("run.txt"), i == 0 ? 0 : 1, 1, scc));
    ASSERT_EQ(0, save(handle, dir.file("alone" + std::to_string(i) + ".txt"), 0, 1, scc));
  }
  const int32_t run = CreateNewStoredDataStruct();
  ASSERT_EQ(0, read(run, dir.file("run.txt")));
  ASSERT_EQ(static_cast<int32_t>(std::size(blocks)), GetNumberOfSavedItems(run));
  auto inRun = std::make_unique<TEDSTemplateFieldArrayStruct>();
  auto alone = std::make_unique<TEDSTemplateFieldArrayStruct>();
  int32_t descriptor = 0, channel = 0, unit = 0;
  for (std::size_t i = 0; i < std::size(blocks); ++i) {
    const int32_t single = CreateNewStoredDataStruct();
    ASSERT_EQ(0, read(single, dir.file("alone" + std::to_string(i) + ".txt")));
    ASSERT_EQ(0, RetrieveTedsData(single, 0, alone.get(), &descriptor, &channel, &unit));
    ASSERT_EQ(0, RetrieveTedsData(run, static_cast<int32_t>(i), inRun.get(), &descriptor, &channel, &unit));
    EXPECT_EQ(0, std::memcmp(inRun.get(), alone.get(), sizeof *alone)) << "block " << i;
  }
}

}  // namespace
