#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tedskit/dorvia.h"
#include "v10_fixture.h"

namespace {

using namespace engine_test;

struct Images {
  std::array<uint8_t, 8> appreg{};
  std::vector<uint8_t> memory = std::vector<uint8_t>(kTedsMemorySize, 0);
};

Images imagesOf(CTEDSInfo& info) {
  Images out;
  info.getAppregData(out.appreg.data());
  info.getMemoryData(out.memory.data());
  return out;
}

uint32_t bitsAt(const std::vector<uint8_t>& memory, int position, int width) {
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) {
    const int p = position + i;
    v |= static_cast<uint32_t>((memory[static_cast<size_t>(p / 8)] >> (p % 8)) & 1u) << i;
  }
  return v;
}

void putBits(std::vector<uint8_t>& memory, int position, int width, uint32_t value) {
  for (int i = 0; i < width; ++i) {
    const int p = position + i;
    auto& byte = memory[static_cast<size_t>(p / 8)];
    byte = static_cast<uint8_t>((byte & ~(1u << (p % 8))) | (((value >> i) & 1u) << (p % 8)));
  }
}

// ----- round trips over the shipped templates -------------------------------------------

struct Shipped {
  const char* file;
  int32_t templateID;
  uint32_t selector;
  uint32_t storedID;
};

void PrintTo(const Shipped& s, std::ostream* os) { *os << s.file << " template " << s.templateID; }

class ShippedRoundTrip : public ::testing::TestWithParam<Shipped> {
 protected:
  void SetUp() override {
    ASSERT_EQ(info.CreateTemplateStructure(dataPath(GetParam().file).c_str(), 0, 0), 0);
    tdl = info.GetTemplateCollection(0)->findTemplate(GetParam().templateID);
    ASSERT_NE(tdl, nullptr);
  }

  ImageGenerator generate(uint32_t seed) {
    return ImageGenerator(*tdl, seed, GetParam().selector, GetParam().storedID);
  }

  // Decodes the image into the array; the caller then encodes it back.
  void decode(ImageGenerator& image) {
    info.setAppregData(image.appreg().data());
    info.setMemoryData(image.memory().data());
    ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), 0);
  }

  CTEDSInfo info;
  CTDLTemplate* tdl = nullptr;
  std::unique_ptr<TEDSTemplateFieldArrayStruct> array = newArray();
};

TEST_P(ShippedRoundTrip, DecodedImageEncodesBackBitForBit) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    ImageGenerator image = generate(seed);
    decode(image);
    ASSERT_EQ(info.CreateFromTEDSTemplateFieldArrayStruct(array.get()), 0);
    const Images out = imagesOf(info);
    ASSERT_EQ(out.appreg, image.appreg()) << "seed " << seed;
    // The whole image, not only the 32 bytes the checksum covers.
    ASSERT_EQ(out.memory, image.memory()) << "seed " << seed;
  }
}

TEST_P(ShippedRoundTrip, EditingOneFieldChangesExactlyItsBits) {
  ImageGenerator image = generate(7);
  int edits = 0;
  for (const auto& [label, spot] : image.spots()) {
    if (spot.width <= 0 || spot.width > 24) continue;
    decode(image);
    const TEDSTemplateFieldStruct* item = findItem(*array, label);
    if (item == nullptr || item->datatype != TEDS_DT_UNINT || std::strlen(item->value) == 0) continue;
    const uint32_t edited =
        (bitsAt(image.memory(), spot.position, spot.width) + 1) & ((1u << spot.width) - 1);
    const std::string text = std::to_string(edited);
    ASSERT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), label.c_str(), 5, text.c_str()), 0)
        << label;
    ASSERT_EQ(info.CreateFromTEDSTemplateFieldArrayStruct(array.get()), 0);

    std::vector<uint8_t> expected = image.memory();
    putBits(expected, spot.position, spot.width, edited);
    setChecksum(image.appreg(), expected);
    EXPECT_EQ(imagesOf(info).memory, expected) << label;
    ++edits;
  }
  EXPECT_GE(edits, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, ShippedRoundTrip,
    ::testing::Values(Shipped{"ieee_temp_v10.tdl", 25, 0, 25}, Shipped{"ieee_temp_v10.tdl", 26, 0, 26},
                      Shipped{"ieee_temp_v10.tdl", 27, 0, 27}, Shipped{"ieee_temp_v10.tdl", 28, 0, 28},
                      Shipped{"ieee_temp_v10.tdl", 33, 0, 33}, Shipped{"ieee_temp_v10.tdl", 39, 0, 39},
                      Shipped{"MTS-SWIFT.tdl", 199, 1, 4}),
    [](const auto& info) { return std::string("T").append(std::to_string(info.param.templateID)); });

// ----- the fixture templates: select cases, user-chosen cases, user data ----------------

class TdlEncode : public EngineTest {
 protected:
  void layout(int32_t templateID) {
    array->templateID = templateID;
    ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0);
  }
  void set(const char* label, const char* text) {
    ASSERT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), label, 5, text), 0) << label;
  }
  Images encode() {
    EXPECT_EQ(info.CreateFromTEDSTemplateFieldArrayStruct(array.get()), 0);
    return imagesOf(info);
  }
};

TEST_F(TdlEncode, FixtureImagesWithNestedAndUserChosenSelectCasesRoundTrip) {
  ImageBuilder shapes(25);
  shapes.put(9, 4).put(2, 2).put(10, 7).put(1, 1).put(2, 2).put(3, 5).put(790, 16).putUserText("Hi there");
  ImageBuilder chooser(33);  // Newton, then High; the user data ends the template
  chooser.put(2, 2).put(17, 6).put(21, 5).put(1, 1).put(5, 4).put(6, 3).putUserText("ok");
  ImageBuilder open(27);  // a %User text of open length, then a field after it
  open.putUserText("Go").put(11, 4).putUserText("");
  for (ImageBuilder* image : {&shapes, &chooser, &open}) {
    setChecksum(ImageBuilder::workedExampleAppreg(), image->memory());
    ASSERT_EQ(decode(*image), 0);
    const Images out = encode();
    EXPECT_EQ(out.appreg, ImageBuilder::workedExampleAppreg());
    EXPECT_EQ(out.memory, image->memory());
  }
}

TEST_F(TdlEncode, UserDataOfTwoCharactersIsTheMarkTheCharactersAndAZero) {
  layout(27);
  set("Note", "Ab");
  const Images out = encode();
  EXPECT_EQ(bitsAt(out.memory, 18, 3), 7u);
  EXPECT_EQ(bitsAt(out.memory, 21, 7), uint32_t{'A'});
  EXPECT_EQ(bitsAt(out.memory, 28, 7), uint32_t{'b'});
  EXPECT_EQ(bitsAt(out.memory, 35, 7), 0u);
  EXPECT_EQ(bitsAt(out.memory, 42, 4), 0u);  // "After", then the template's own user data
  EXPECT_EQ(bitsAt(out.memory, 46, 3), 7u);
}

TEST_F(TdlEncode, MtsTemplateIsWrittenWithSelectorOneAndIdFour) {
  CTEDSInfo mts;
  ASSERT_EQ(mts.CreateTemplateStructure(dataPath("MTS-SWIFT.tdl").c_str(), 0, 0), 0);
  sccontrolstruct force{1, 0, {0}};
  mts.SetSCCObj(&force);
  array->templateID = 199;
  ASSERT_EQ(mts.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0);
  ASSERT_EQ(mts.CreateFromTEDSTemplateFieldArrayStruct(array.get()), 0);
  const Images out = imagesOf(mts);
  EXPECT_EQ(bitsAt(out.memory, 8, 2), 1u);
  EXPECT_EQ(bitsAt(out.memory, 10, 8), 4u);
}

TEST_F(TdlEncode, SelectCaseWithoutValueIsLeftOutWithItsBranch) {
  layout(25);
  sccontrolstruct none{0, 0, {0}};
  info.SetSCCObj(&none);  // refused, and the count is now 0: every select case reads -5
  set("Head", "5");
  set("Calibration date", "1/2/1998");
  const Images out = encode();
  EXPECT_EQ(bitsAt(out.memory, 18, 4), 5u);
  EXPECT_EQ(bitsAt(out.memory, 22, 16), 1u);  // "Kind" and its branch are left out
  EXPECT_EQ(bitsAt(out.memory, 38, 3), 7u);
}

TEST_F(TdlEncode, UserChosenCaseTextPicksTheCaseAndUnknownTextGivesCaseZero) {
  ImageBuilder chooser(33);  // Newton: k (6 bits) and id (5 bits); Range; Tail
  chooser.put(2, 2).put(17, 6).put(21, 5).put(0, 1).put(5, 4).put(6, 3).putUserText("");
  ASSERT_EQ(decode(chooser), 0);

  set("Newton id", "3");    // an integer of the chosen case keeps its decoded bits
  set("Newton k", "1.21");  // 1.1 squared: raw 2
  Images out = encode();
  EXPECT_EQ(bitsAt(out.memory, 18, 2), 2u);
  EXPECT_EQ(bitsAt(out.memory, 20, 6), 2u);
  EXPECT_EQ(bitsAt(out.memory, 26, 5), 21u);

  set("Measurand", "sTrAiN");
  out = encode();
  EXPECT_EQ(bitsAt(out.memory, 18, 2), 1u);

  set("Measurand", "no such case");
  out = encode();
  EXPECT_EQ(bitsAt(out.memory, 18, 2), 0u);
}

TEST_F(TdlEncode, OldTemplateNumberChoosesTemplateAndSelectCaseValues) {
  CTEDSInfo ieee;
  ASSERT_EQ(ieee.CreateTemplateStructure(dataPath("ieee_temp_v10.tdl").c_str(), 0, 0), 0);
  array->templateID = 25;
  ASSERT_EQ(ieee.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0);
  array->templateID = 1;  // template 25 with select-case values 0, 0, 1
  ASSERT_EQ(ieee.CreateFromTEDSTemplateFieldArrayStruct(array.get()), 0);
  const Images out = imagesOf(ieee);
  EXPECT_EQ(bitsAt(out.memory, 10, 8), 25u);
  EXPECT_EQ(bitsAt(out.memory, 18, 2), 0u);
  // 24 bits of the acceleration case, then direction, weight and sign: the transfer function.
  EXPECT_EQ(bitsAt(out.memory, 20 + 24 + 2 + 6 + 1, 1), 1u);
  EXPECT_EQ(ieee.getMatchingOldTemplateID(), 1);
}

TEST_F(TdlEncode, RefusalsLeaveBothImagesAsTheyWere) {
  ImageBuilder shapes(25);
  shapes.put(9, 4);
  ASSERT_EQ(decode(shapes), 0);
  const Images before = imagesOf(info);

  auto unmarked = newArray();
  std::memcpy(unmarked.get(), array.get(), sizeof *array);
  unmarked->validMarker = 0;
  EXPECT_EQ(info.CreateFromTEDSTemplateFieldArrayStruct(unmarked.get()), DORVIA_ERR_NOT_FILLED);

  array->templateID = 4;  // old template 4 is template 26, not loaded in an empty engine
  CTEDSInfo empty;
  EXPECT_EQ(empty.CreateFromTEDSTemplateFieldArrayStruct(array.get()), -1);
  EXPECT_EQ(info.CreateFromTEDSTemplateFieldArrayStruct(nullptr), DORVIA_ERR_NOT_FILLED);
  EXPECT_EQ(imagesOf(info).memory, before.memory);
  EXPECT_EQ(imagesOf(info).appreg, before.appreg);
}

TEST_F(TdlEncode, FieldsPastTheImageAreCutAtItsEnd) {
  CTEDSInfo wide;
  ASSERT_EQ(wide.CreateTemplateStructure(fixturePath("wide.tdl").c_str(), 0, 0), 0);
  array->templateID = 25;
  ASSERT_EQ(wide.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0);
  ASSERT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), "Last", 5, "165"), 0);
  ASSERT_EQ(wide.CreateFromTEDSTemplateFieldArrayStruct(array.get()), 0);
  // "Big" ends at bit 20478; "Last" runs on into the spare bytes; "Huge" and the user
  // data after it are cut at the end of the image.
  const Images out = imagesOf(wide);
  EXPECT_EQ(bitsAt(out.memory, 20478, 8), 165u);
}

// Field arrays come from outside: whatever bytes they hold, encoding answers with a
// result code and stays inside its images.
TEST_F(TdlEncode, ArraysWithAnyBytesGiveAResultCode) {
  ImageBuilder chooser(33);
  chooser.put(2, 2).put(17, 6).put(21, 5).put(1, 1).put(5, 4).put(6, 3).putUserText("ok");
  ASSERT_EQ(decode(chooser), 0);
  auto decoded = newArray();
  std::memcpy(decoded.get(), array.get(), sizeof *array);

  using Spoil = void (*)(TEDSTemplateFieldArrayStruct&);
  const std::pair<const char*, Spoil> spoilers[] = {
      {"item count past the record", [](TEDSTemplateFieldArrayStruct& a) { a.numItems = 100000; }},
      {"negative item count", [](TEDSTemplateFieldArrayStruct& a) { a.numItems = -7; }},
      {"texts without terminators",
       [](TEDSTemplateFieldArrayStruct& a) {
         for (auto& item : a.items) {
           std::memset(item.label, 'L', sizeof item.label);
           std::memset(item.value, '9', sizeof item.value);
         }
       }},
      {"values without terminators",
       [](TEDSTemplateFieldArrayStruct& a) {
         for (auto& item : a.items) std::memset(item.value, 'z', sizeof item.value);
       }},
      {"values that do not parse",
       [](TEDSTemplateFieldArrayStruct& a) {
         for (int i = 0; i < a.numItems; ++i)
           std::snprintf(a.items[i].value, sizeof a.items[i].value, "%s", "-1e999x//");
       }},
      {"unknown template ID", [](TEDSTemplateFieldArrayStruct& a) { a.templateID = 77; }},
      {"old template number without a row", [](TEDSTemplateFieldArrayStruct& a) { a.templateID = 3; }},
      {"all bytes 0xFF", [](TEDSTemplateFieldArrayStruct& a) { std::memset(&a, 0xFF, sizeof a); }},
  };
  for (const auto& [name, spoilArray] : spoilers) {
    std::memcpy(array.get(), decoded.get(), sizeof *array);
    spoilArray(*array);
    const int32_t result = info.CreateFromTEDSTemplateFieldArrayStruct(array.get());
    EXPECT_TRUE(result == 0 || result == -1 || result == DORVIA_ERR_NOT_FILLED) << name << ": " << result;
    // Whatever was written, the image still decodes or is refused with -1.
    const int32_t again = info.CreateTEDSTemplateFieldArrayStruct(array.get(), true);
    EXPECT_TRUE(again == 0 || again == -1) << name;
  }
}

}  // namespace
