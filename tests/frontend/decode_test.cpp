// Decoding raw images through the front end: engine, LMS decoders, both or neither.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend_fixture.h"
#include "tedskit/quillon.h"

namespace {

using namespace frontendtest;

constexpr char kZeroRegister[] = "0000000000000000";

struct Decoded {
  int32_t result;
  std::string formText;
  int32_t valid;
};

Decoded decodeHex(const std::string& memory, const std::string& appRegister, int32_t lmsName) {
  const char* form = nullptr;
  int32_t valid = -5;
  const int32_t result = QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, memory.c_str(), appRegister.c_str(), 0,
                                                             &form, &valid, lmsName);
  return {result, form != nullptr ? form : "<none>", valid};
}

// The kind a form text of the engine is tagged with: the kind saved by the last decode.
int32_t savedKind(const std::string& engineForm) {
  auto array = newTaggedArray();
  array->kind = -1;
  QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(engineForm.c_str(), array.get(), 1);
  return array->kind;
}

// A free-format LMS image that the engine also reads: its bits 72-73 (selector 1 for
// template 117) send the engine to manufacturer 17's file, where template 3 exists.
std::string imageForBoth() {
  LmsImage image = lmsImage(117);
  setBits(image, 8, 12, 17);
  setBits(image, 74, 8, 3);
  return toHex(image.data(), image.size());
}

TEST(QuillonDecode, EngineOnlyReturnsZeroAndSavesTheTemplateKind) {
  const HexImage standard = readExample("accelerometer.hex");
  const Decoded decoded = decodeHex(standard.memory, standard.appRegister, 1);
  EXPECT_EQ(decoded.result, 0);
  EXPECT_EQ(decoded.valid, 1);
  EXPECT_EQ(decoded.formText.rfind("Template Accelerometer, IEPE voltage output\n", 0), 0u);
  EXPECT_EQ(savedKind(decoded.formText), 0);

  const HexImage manufacturers = readExample("triaxial.hex");
  const Decoded triaxial = decodeHex(manufacturers.memory, manufacturers.appRegister, 1);
  EXPECT_EQ(triaxial.result, 0);
  EXPECT_EQ(savedKind(triaxial.formText), 1);
}

TEST(QuillonDecode, LmsOnlyReturnsZeroWithTheLmsName) {
  // Template 118 puts selector 1 under the engine's eyes with manufacturer 0, which has
  // no description file: only the geometry decoder accepts it.
  const LmsImage geometry = lmsImage(118);
  for (int32_t lmsName : {0, 1}) {
    const Decoded decoded = decodeHex(toHex(geometry.data(), geometry.size()), kZeroRegister, lmsName);
    EXPECT_EQ(decoded.result, 0);
    EXPECT_EQ(decoded.valid, 1);
    EXPECT_EQ(decoded.formText, "LMS Geometry");
  }
  const LmsImage free = lmsImage(117);
  EXPECT_EQ(decodeHex(toHex(free.data(), free.size()), kZeroRegister, 0).formText, "LMS Free");
}

TEST(QuillonDecode, BothAcceptedReturnsOneAndKeepsTheSavedKind) {
  const HexImage standard = readExample("accelerometer.hex");
  const std::string engineForm = decodeHex(standard.memory, standard.appRegister, 0).formText;

  const Decoded named = decodeHex(imageForBoth(), kZeroRegister, 1);
  EXPECT_EQ(named.result, 1);
  EXPECT_EQ(named.valid, 1);
  EXPECT_EQ(named.formText, "LMS Free");

  const Decoded unnamed = decodeHex(imageForBoth(), kZeroRegister, 0);
  EXPECT_EQ(unnamed.result, 1);
  EXPECT_EQ(unnamed.valid, 1);
  EXPECT_EQ(unnamed.formText.rfind("Template Triaxial accelerometer", 0), 0u);
  // The engine read a manufacturer's template, yet only a standard decode is saved.
  EXPECT_EQ(savedKind(engineForm), 0);
}

TEST(QuillonDecode, NeitherAcceptedReturnsMinusOne) {
  LmsImage image{};
  setBits(image, 72, 2, 2);  // a selector the engine has no file for
  const Decoded decoded = decodeHex(toHex(image.data(), image.size()), kZeroRegister, 1);
  EXPECT_EQ(decoded.result, -1);
  EXPECT_EQ(decoded.valid, 0);
}

TEST(QuillonDecode, ByteFormTakesTheLmsImageFromByteZero) {
  // Byte input is at least the engine's 513 bytes.
  std::vector<uint8_t> memory(513, 0);
  const LmsImage geometry = lmsImage(118);
  std::copy(geometry.begin(), geometry.end(), memory.begin());
  const uint8_t appRegister[8] = {};
  const char* form = nullptr;
  int32_t valid = 0;
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, memory.data(), appRegister, 1, &form, &valid, 1),
            0);
  EXPECT_STREQ(form, "LMS Geometry");
}

TEST(QuillonDecode, ShortHexIsDecodedOnlyAsFarAsItGoes) {
  const LmsImage geometry = lmsImage(118);
  const std::string hex = toHex(geometry.data(), 32);
  // Exact-size copies, so that a read past the end shows under the address sanitizer.
  for (const std::size_t digits : {std::size_t{64}, std::size_t{17}, std::size_t{0}}) {
    std::vector<char> memory(hex.begin(), hex.begin() + static_cast<std::ptrdiff_t>(digits));
    memory.push_back('\0');
    const char* form = nullptr;
    int32_t valid = 0;
    const int32_t result =
        QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, memory.data(), kZeroRegister, 0, &form, &valid, 0);
    // 64 digits hold the whole LMS image; fewer lose its selector and template ID.
    EXPECT_EQ(result, digits == 64 ? 0 : -1) << digits;
  }
}

TEST(QuillonDecode, MissingPointersFailWithoutDecoding) {
  const char* form = nullptr;
  int32_t valid = 0;
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, nullptr, kZeroRegister, 0, &form, &valid, 0),
            QUILLON_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, "00", nullptr, 0, &form, &valid, 0),
            QUILLON_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, "00", kZeroRegister, 0, nullptr, &valid, 0),
            QUILLON_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, "00", kZeroRegister, 0, &form, nullptr, 0),
            QUILLON_ERR_MISSING_ARGUMENT);
}

}  // namespace
