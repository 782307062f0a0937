// Template form text -> raw image.
#include <gtest/gtest.h>

#include <cstring>

#include "engine_test_support.h"
#include "probe_fixture.h"

using namespace enginetest;

namespace {

struct Encoded {
  int32_t result = 0;
  std::vector<uint8_t> bytes;  // the 128-byte image
  bool hasImage = false;
};

Encoded encode(const std::string& form) {
  Encoded out;
  const char* image = "unchanged";
  out.result = DORVIA_EncodeTemplateFormToRawTEDS(form.c_str(), &image, 1);
  out.hasImage = image != nullptr;
  if (image != nullptr) out.bytes.assign(image, image + 128);
  return out;
}

uint64_t bitsAt(const std::vector<uint8_t>& bytes, int position, int width) {
  uint64_t value = 0;
  for (int k = 0; k < width; ++k) {
    const int bit = position + k;
    if ((bytes[bit / 8] >> (bit % 8)) & 1) value |= uint64_t{1} << k;
  }
  return value;
}

// A form text of one field line after the header, at bit 82.
std::string formWith(const std::string& fieldLine, int templateID = 5) {
  return "Template T\ncrc8\n\"Serial no.\",\"RO\",\"64\",\"UNINT\",DATA,0\nselector 2, 0\n"
         "selector 8, " +
         std::to_string(templateID) + "\n" + fieldLine + "\nEndTemplate";
}

TEST(EncodeForm, DecodedTextEncodesBackToTheSameImage) {
  ProbeDir dir;
  const std::string image = probeImage().hex();
  const Decoded decoded = decodeHex(dir.path(), image);
  ASSERT_EQ(decoded.result, 0);
  const char* hex = nullptr;
  ASSERT_EQ(DORVIA_EncodeTemplateFormToRawTEDS(decoded.form.c_str(), &hex, 0), 0);
  EXPECT_EQ(std::string(hex), image.substr(0, 64));
}

TEST(EncodeForm, ShippedExamplesRoundTrip) {
  for (const char* name : {"accelerometer.hex", "microphone.hex", "loadcell.hex", "triaxial.hex"}) {
    const ExampleImage example = readExample(name);
    const Decoded decoded = decodeHex(sourcePath("data"), example.memory, example.appRegister);
    ASSERT_GE(decoded.result, 0) << name;
    const char* hex = nullptr;
    ASSERT_EQ(DORVIA_EncodeTemplateFormToRawTEDS(decoded.form.c_str(), &hex, 0), 0) << name;
    EXPECT_EQ(std::string(hex), example.memory.substr(0, 64)) << name;
  }
}

TEST(EncodeForm, ValuesBecomeBits) {
  struct Case {
    const char* line;
    int width;
    uint64_t expected;
  };
  const Case cases[] = {
      {"\"C\",\"RW\",\"5\",\"Chr5\",DATA,a", 5, 1},
      {"\"C\",\"RW\",\"5\",\"Chr5\",DATA,Z", 5, 26},
      {"\"C\",\"RW\",\"5\",\"Chr5\",DATA,#", 5, 0},
      {"\"D\",\"RW\",\"16\",\"DATE\",DATA,12/31/2000", 16, 1095},
      {"\"D\",\"RW\",\"16\",\"DATE\",DATA,1/1/1998", 16, 0},
      {"\"D\",\"RW\",\"16\",\"DATE\", DATA, 3/1/2004", 16, 2251},
      {"\"U\",\"RW\",\"12\",\"UNINT\", \"0000\", DATA, 0x1F", 12, 31},
      {"\"U\",\"RW\",\"4\",\"UNINT\",DATA,18", 4, 2},  // the low bits only
      {"\"R\",\"RW\",\"4\",\"ConRes\",0,0.5,DATA,1.5", 4, 3},
      {"\"R\",\"RW\",\"4\",\"ConRes\",0,0.5,DATA,1.99", 4, 3},               // the index below
      {"\"R\",\"RW\",\"4\",\"ConRes\",2,0.5,DATA,1", 4, 0},                  // below the start: 0
      {"\"R\",\"RW\",\"10\",\"ConRes\",1,0.1,DATA,14.4000000000", 10, 134},  // as decoded
      {"\"R\",\"RW\",\"4\",\"ConRes\",0,0.5,DATA,100", 4, 15},               // past the top: the top
      {"\"G\",\"RW\",\"8\",\"ConRelRes\",1,0.5,2,DATA,6", 8, 2},
      {"\"G\",\"RW\",\"8\",\"ConRelRes\",1,0.5,0,DATA,2.9", 8, 2},  // nearest: 1.53 -> 2
      {"\"G\",\"RW\",\"8\",\"ConRelRes\",1,0.5,0,DATA,1.3", 8, 0},  // nearest: 0.38 -> 0
      {"\"G\",\"RW\",\"8\",\"ConRelRes\",1,0.5,0,DATA,-4", 8, 0},   // no index: 0
  };
  for (const Case& c : cases) {
    const Encoded encoded = encode(formWith(c.line));
    ASSERT_EQ(encoded.result, 0) << c.line;
    EXPECT_EQ(bitsAt(encoded.bytes, 82, c.width), c.expected) << c.line;
  }
}

TEST(EncodeForm, SelectorsAndChecksum) {
  const Encoded encoded = encode(formWith("\"U\",\"RW\",\"8\",\"UNINT\",DATA,200", 17));
  ASSERT_EQ(encoded.result, 0);
  EXPECT_EQ(bitsAt(encoded.bytes, 72, 2), 0u);
  EXPECT_EQ(bitsAt(encoded.bytes, 74, 8), 17u);
  unsigned sum = 0;
  for (int i = 0; i < 32; ++i) sum += encoded.bytes[i];
  EXPECT_EQ(sum & 0xFF, 0u);
}

TEST(EncodeForm, AsciiTextWithItsTerminatorWhenOdd) {
  const Encoded odd = encode(formWith("align\n\"N\",\"RW\",\"8\",\"ASCII\",DATA,\"abc\""));
  ASSERT_EQ(odd.result, 0);
  EXPECT_EQ(std::memcmp(odd.bytes.data() + 11, "abc\0", 4), 0);

  // Template 24: 7 bits a character, each overwriting the eighth bit of the one before.
  const Encoded seven = encode(formWith("align\n\"N\",\"RW\",\"7\",\"ASCII\",DATA,\"OK\"", 24));
  ASSERT_EQ(seven.result, 0);
  EXPECT_EQ(bitsAt(seven.bytes, 88, 7), static_cast<uint64_t>('O'));
  EXPECT_EQ(bitsAt(seven.bytes, 95, 7), static_cast<uint64_t>('K'));

  // A text longer than the image is cut at its end.
  const Encoded longText =
      encode(formWith("align\n\"N\",\"RW\",\"8\",\"ASCII\",DATA,\"" + std::string(300, 'x') + "\""));
  ASSERT_EQ(longText.result, 0);
  EXPECT_EQ(longText.bytes[127], 'x');
}

TEST(EncodeForm, Failures) {
  struct Case {
    const char* what;
    std::string form;
    int32_t expected;
    const char* printed;
  };
  const Case cases[] = {
      {"unknown keyword", "Template T\nwhatever\nEndTemplate", 1, "Error\n"},
      {"label not quoted", "Template T\nA,\"RW\",\"8\",\"UNINT\",DATA,1\nEndTemplate", 1, "Error\n"},
      {"access not quoted", "Template T\n\"A\",RW,\"8\",\"UNINT\",DATA,1\nEndTemplate", 2, ""},
      {"type not quoted", "Template T\n\"A\",\"RW\",\"8\",UNINT,DATA,1\nEndTemplate", 2, ""},
      {"no EndTemplate", "Template T\n\"A\",\"RW\",\"8\",\"UNINT\",DATA,1\n", 3, "end of string"},
      {"cut inside a field line", "Template T\n\"A\",\"RW\"", 3, "end of string"},
      {"empty", "", 3, "end of string"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    const Encoded encoded = encode(c.form);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(encoded.result, c.expected) << c.what;
    EXPECT_FALSE(encoded.hasImage) << c.what;
    EXPECT_NE(printed.find(c.printed), std::string::npos) << c.what << ": " << printed;
  }
  const char* image = nullptr;
  EXPECT_EQ(DORVIA_EncodeTemplateFormToRawTEDS(nullptr, &image, 0), DORVIA_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(DORVIA_EncodeTemplateFormToRawTEDS("EndTemplate", nullptr, 0), DORVIA_ERR_MISSING_ARGUMENT);
}

}  // namespace
