#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "engine_fixture.h"

namespace {

using namespace engine_test;

using BasicTeds = EngineTest;

std::array<uint8_t, 8> appregOf(CTEDSInfo& info) {
  std::array<uint8_t, 8> out{};
  info.getAppregData(out.data());
  return out;
}

void setValue(TEDSTemplateFieldArrayStruct& array, const char* label, const char* value) {
  for (int i = 0; i < array.numItems; ++i) {
    if (std::strcmp(array.items[i].label, label) == 0)
      std::snprintf(array.items[i].value, TEDS_VALUE_SIZE, "%s", value);
  }
}

TEST_F(BasicTeds, WrittenBackFromTheDecodedRowsGivesTheSameRegister) {
  ImageBuilder image(25);
  image.put(1, 4);
  ASSERT_EQ(decode(image), 0);
  info.setAppregData(std::array<uint8_t, 8>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}.data());
  info.writeBasicTEDSFromArray(array.get());
  EXPECT_EQ(appregOf(info), ImageBuilder::workedExampleAppreg());
}

TEST_F(BasicTeds, RowsOutsideTheirFieldsAreWrittenSafely) {
  ImageBuilder image(25);
  image.put(1, 4);
  ASSERT_EQ(decode(image), 0);
  setValue(*array, "Version letter", "a");     // not in the 5-bit set: a space
  setValue(*array, "Serial no.", "16777216");  // 2^24: only the low 24 bits
  setValue(*array, "Model number", "x12");     // not a number: 0
  setValue(*array, "Version number", "65");    // 6 bits keep 1
  info.writeBasicTEDSFromArray(array.get());
  const TedsBasicNumbers n = [&] {
    info.CreateTEDSInfoFromData();
    return info.basicTEDS;
  }();
  EXPECT_EQ(n.manufacturerID, 43);
  EXPECT_EQ(n.modelNumber, 0);
  EXPECT_EQ(n.versionLetter, 0);
  EXPECT_EQ(n.versionNumber, 1);
  EXPECT_EQ(n.serialNumber, 0);
}

TEST_F(BasicTeds, ImagesAndStateAccessors) {
  std::array<uint8_t, kTedsMemorySize> memory{};
  for (size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i * 7);
  info.setMemoryData(memory.data());
  std::array<uint8_t, kTedsMemorySize> back{};
  info.getMemoryData(back.data());
  EXPECT_EQ(back, memory);

  EXPECT_TRUE(info.IsStructureValid());
  EXPECT_EQ(info.GetTemplateFilesHeld(), 1);
  EXPECT_EQ(info.GetTemplatesHeld(0), 6);
  EXPECT_EQ(info.GetTemplatesHeld(1), 0);
  EXPECT_EQ(info.GetTemplatesHeld(-1), 0);
  EXPECT_EQ(info.setOLDTemplateFilename(std::string(400, 'n').c_str()), 0);
  EXPECT_EQ(std::strlen(info.oldTemplateFilename), 254u);
  EXPECT_TRUE(info.ValidateAsTEDSV1_0());
  EXPECT_EQ(info.CreateFromTEDSV1_0Image(), 0);
  EXPECT_EQ(info.GetAlternateTemplate(17), 28);
}

TEST(TemplateFiles, AMissingFileStillAddsAnEmptyCollection) {
  CTEDSInfo info;
  EXPECT_EQ(info.CreateTemplateStructure("no/such/file.tdl", 0, 0), -3);
  EXPECT_FALSE(info.IsStructureValid());
  EXPECT_EQ(info.GetTemplateFilesHeld(), 1);
  EXPECT_EQ(info.GetTemplatesHeld(0), 0);
  auto array = newArray();
  EXPECT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), -1);

  // Only the first collection is searched.
  ASSERT_EQ(info.CreateTemplateStructure(fixturePath("shapes.tdl").c_str(), 0, 0), 0);
  EXPECT_TRUE(info.IsStructureValid());
  EXPECT_EQ(info.GetTemplateFilesHeld(), 2);
  array->templateID = 25;
  EXPECT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), false), -1);
}

}  // namespace
