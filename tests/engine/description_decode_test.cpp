// Raw image -> template form text through description files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine_test_support.h"
#include "probe_fixture.h"

using namespace enginetest;

namespace {

TEST(DecodeRaw, HexImageGivesTheFormTextOfItsTemplate) {
  ProbeDir dir;
  const Decoded decoded = decodeHex(dir.path(), probeImage().hex());
  EXPECT_EQ(decoded.result, 0);
  EXPECT_EQ(decoded.valid, 1);
  EXPECT_EQ(decoded.form, kProbeForm);
}

TEST(DecodeRaw, ValueTextsByType) {
  struct Case {
    ProbeValues values;
    std::size_t line;
    const char* expected;
  };
  const auto with = [](auto change) {
    ProbeValues v;
    change(v);
    return v;
  };
  const Case cases[] = {
      {with([](ProbeValues& v) { v.day = 0; }), 10, "\"Day\",\"RW\",\"16\",\"DATE\",DATA,1/1/1998"},
      {with([](ProbeValues& v) { v.day = 59; }), 10, "\"Day\",\"RW\",\"16\",\"DATE\",DATA,3/1/1998"},
      {with([](ProbeValues& v) { v.day = 365; }), 10, "\"Day\",\"RW\",\"16\",\"DATE\",DATA,1/1/1999"},
      {with([](ProbeValues& v) { v.initial = 0; }), 11, "\"Initial\",\"RW\",\"5\",\"Chr5\",DATA, "},
      {with([](ProbeValues& v) { v.initial = 31; }), 11, "\"Initial\",\"RW\",\"5\",\"Chr5\",DATA,@"},
      {with([](ProbeValues& v) { v.step = 0; }), 12,
       "\"Step\",\"RW\",\"4\",\"ConRes\",0.000000e+00,5.000000e-01, \"0.0\", \"V\",DATA,"
       "0.0000000000e+00"},
      {with([](ProbeValues& v) { v.gain = 0; }), 13,
       "\"Gain\",\"RW\",\"8\",\"ConRelRes\",1.000000,0.500000,2.000000, \"0.00\", \"dB\",DATA,"
       "3.0000000000"},
      {with([](ProbeValues& v) { v.note = std::string("A\0B", 3); }), 17,
       "\"Note\",\"RW\",\"8\",\"ASCII\",DATA,\"AB\""},
  };
  ProbeDir dir;
  for (const Case& c : cases) {
    const Decoded decoded = decodeHex(dir.path(), probeImage(c.values).hex());
    ASSERT_EQ(decoded.result, 0);
    const auto lines = linesOf(decoded.form);
    ASSERT_GT(lines.size(), c.line);
    EXPECT_EQ(lines[c.line], c.expected);
  }
}

TEST(DecodeRaw, ByteImageIsTakenWithItsChecksumByteOnlyWhenTheSumIsZero) {
  ProbeDir dir;
  std::vector<uint8_t> memory = probeImage().bytes();
  memory.resize(513);
  const uint8_t reg[8] = {};
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(DORVIA_DecodeRawTEDSToTemplateForm(dir.path().c_str(), memory.data(), reg, 1, &form, &valid), 0);
  EXPECT_EQ(std::string(form), kProbeForm);

  // Without its checksum byte the memory is read from byte 1 on: the same image, one
  // byte shorter at the front, decodes the same.
  std::vector<uint8_t> withoutChecksum(memory.begin() + 1, memory.end());
  withoutChecksum.resize(513);
  unsigned sum = 0;
  for (int i = 0; i < 32; ++i) sum += withoutChecksum[i];
  ASSERT_NE(sum & 0xFF, 0u);
  ASSERT_EQ(
      DORVIA_DecodeRawTEDSToTemplateForm(dir.path().c_str(), withoutChecksum.data(), reg, 1, &form, &valid),
      0);
  EXPECT_EQ(std::string(form), kProbeForm);
}

TEST(DecodeRaw, EarlierImageBytesDoNotShowThroughALaterHexImage) {
  ProbeDir dir;
  // A byte image whose text runs on past the 40 bytes that a hex image gives.
  std::vector<uint8_t> bytes = probeImage().bytes();
  bytes.resize(513);
  for (std::size_t i = 40; i < 75; ++i) bytes[i] = 'X';
  const uint8_t reg[8] = {};
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(DORVIA_DecodeRawTEDSToTemplateForm(dir.path().c_str(), bytes.data(), reg, 1, &form, &valid), 0);
  ASSERT_NE(std::string(form).find("\"Hi" + std::string(35, 'X') + "\""), std::string::npos);

  const Decoded decoded = decodeHex(dir.path(), probeImage().hex());
  ASSERT_EQ(decoded.result, 0);
  EXPECT_EQ(decoded.form, kProbeForm);
}

TEST(DecodeRaw, SevenBitTextForTemplate24) {
  ScratchDir dir;
  dir.write("TemplateDescription.txt",
            "Template Seven\ncrc8\n\"Serial no.\",\"RO\",\"64\",\"UNINT\"\nselector 2, 0\n"
            "selector 8, 24\n\"User data (ascii)\",\"RW\",\"7\",\"ASCII\"\nEndTemplate\n");
  ImageBuilder image;
  image.put(8, 0).put(64, 0).put(2, 0).put(8, 24);
  for (char c : std::string("LOAD CELL 7")) image.put(7, static_cast<uint8_t>(c));
  const Decoded decoded = decodeHex(dir.path(), image.checksum().hex());
  ASSERT_EQ(decoded.result, 0);
  EXPECT_EQ(linesOf(decoded.form)[5], "\"User data (ascii)\",\"RW\",\"7\",\"ASCII\",DATA,\"LOAD CELL 7\"");
}

TEST(DecodeRaw, ManufacturerTemplateComesFromTheManufacturersFile) {
  const ExampleImage example = readExample("triaxial.hex");
  const Decoded decoded = decodeHex(sourcePath("data/"), example.memory, example.appRegister);
  EXPECT_EQ(decoded.result, 1);
  EXPECT_EQ(decoded.valid, 1);
  EXPECT_EQ(linesOf(decoded.form)[0], "Template Triaxial accelerometer, one channel of three");
}

TEST(DecodeRaw, ShippedExamplesDecode) {
  for (const char* name : {"accelerometer.hex", "microphone.hex", "loadcell.hex"}) {
    const ExampleImage example = readExample(name);
    const Decoded decoded = decodeHex(sourcePath("data"), example.memory, example.appRegister);
    EXPECT_EQ(decoded.result, 0) << name;
    EXPECT_EQ(decoded.form.substr(decoded.form.size() - 11), "EndTemplate") << name;
  }
}

TEST(DecodeRaw, BadImagesAndArgumentsAreRefused) {
  ProbeDir dir;
  const std::string good = probeImage().hex();
  struct Case {
    const char* what;
    std::string memory;
    std::string reg;
  };
  const Case cases[] = {
      {"memory one digit short", good.substr(0, 79), kAppRegisterHex},
      {"memory empty", "", kAppRegisterHex},
      {"non-hex digit", good.substr(0, 10) + "G" + good.substr(11), kAppRegisterHex},
      {"register short", good, "00000000"},
      {"register not hex", good, "00000000000000 0"},
  };
  for (const Case& c : cases) {
    const Decoded decoded = decodeHex(dir.path(), c.memory, c.reg);
    EXPECT_EQ(decoded.result, DORVIA_ERR_MISSING_ARGUMENT) << c.what;
    EXPECT_EQ(decoded.valid, 0) << c.what;
    EXPECT_FALSE(decoded.hasForm) << c.what;
  }
  EXPECT_EQ(decodeHex(dir.path(), std::string(good.begin(), good.end()) + "ZZ").result, 0)
      << "digits past the 80th are not read";

  const char* form = nullptr;
  int32_t valid = 0;
  const char* mem = good.c_str();
  EXPECT_EQ(DORVIA_DecodeRawTEDSToTemplateForm("", nullptr, kAppRegisterHex, 0, &form, &valid),
            DORVIA_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(DORVIA_DecodeRawTEDSToTemplateForm("", mem, nullptr, 0, &form, &valid),
            DORVIA_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(DORVIA_DecodeRawTEDSToTemplateForm("", mem, kAppRegisterHex, 0, &form, nullptr),
            DORVIA_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(DORVIA_DecodeRawTEDSToTemplateForm("", mem, kAppRegisterHex, 0, nullptr, &valid),
            DORVIA_ERR_MISSING_ARGUMENT);
}

TEST(DecodeRaw, MissingFileAndMissingTemplate) {
  ScratchDir empty;
  testing::internal::CaptureStdout();
  const Decoded noFile = decodeHex(empty.path() + "/", probeImage().hex());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "The file " + empty.path() + "/TemplateDescription.txt was not opened\n");
  EXPECT_EQ(noFile.result, DORVIA_ERR_FILE_NOT_OPENED);
  EXPECT_EQ(noFile.valid, 0);

  ProbeDir dir;
  EXPECT_EQ(decodeHex(dir.path(), ImageBuilder::withHeader(6).checksum().hex()).result,
            DORVIA_ERR_TEMPLATE_NOT_FOUND);
  // Selectors 2 and 3 name no description file.
  EXPECT_EQ(decodeHex(dir.path(), ImageBuilder::withHeader(5, 2).checksum().hex()).result,
            DORVIA_ERR_TEMPLATE_NOT_FOUND);
}

TEST(DecodeRaw, BadDescriptionsFail) {
  struct Case {
    const char* what;
    const char* body;  // after the header lines
    int32_t expected;
    const char* printed;
  };
  const Case cases[] = {
      {"unknown keyword", "frobnicate 3\nEndTemplate\n", 2, "Error\n"},
      {"type not quoted", "\"A\",\"RW\",\"8\",UNINT\nEndTemplate\n", 1, ""},
      {"field line cut off", "\"A\",\"RW\",\"8\"\nEndTemplate\n", 1, ""},
      {"no EndTemplate", "\"A\",\"RW\",\"8\",\"UNINT\"\n", 1, "end of string"},
  };
  for (const Case& c : cases) {
    ScratchDir dir;
    dir.write("TemplateDescription.txt",
              std::string("Template Bad\ncrc8\n\"Serial no.\",\"RO\",\"64\",\"UNINT\"\n"
                          "selector 2, 0\nselector 8, 7\n") +
                  c.body);
    ImageBuilder image;
    image.put(8, 0).put(64, 0).put(2, 0).put(8, 7);
    testing::internal::CaptureStdout();
    const Decoded decoded = decodeHex(dir.path(), image.checksum().hex());
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(decoded.result, c.expected) << c.what;
    EXPECT_EQ(decoded.valid, 0) << c.what;
    EXPECT_FALSE(decoded.hasForm) << c.what;
    EXPECT_NE(printed.find(c.printed), std::string::npos) << c.what << ": " << printed;
  }
}

TEST(DecodeRaw, UnknownFieldTypeTakesNoBitsAndKeepsItsLine) {
  ScratchDir dir;
  dir.write("TemplateDescription.txt",
            "Template Odd\ncrc8\n\"Serial no.\",\"RO\",\"64\",\"UNINT\"\nselector 2, 0\n"
            "selector 8, 7\n\"Mystery\",\"RW\",\"8\",\"Blob\", \"x\"\n\"A\",\"RW\",\"8\",\"UNINT\"\n"
            "EndTemplate\n");
  ImageBuilder image;
  image.put(8, 0).put(64, 0).put(2, 0).put(8, 7).put(8, 42);
  const Decoded decoded = decodeHex(dir.path(), image.checksum().hex());
  ASSERT_EQ(decoded.result, 0);
  const auto lines = linesOf(decoded.form);
  EXPECT_EQ(lines[5], "\"Mystery\",\"RW\",\"8\",\"Blob\", \"x\"");
  EXPECT_EQ(lines[6], "\"A\",\"RW\",\"8\",\"UNINT\",DATA,42");
}

TEST(DecodeRaw, ChangedDescriptionFileIsReadAgain) {
  ProbeDir dir;
  ASSERT_EQ(decodeHex(dir.path(), probeImage().hex()).result, 0);
  std::string renamed = kProbeTemplate;
  renamed.replace(renamed.find("Probe"), 5, "Changed probe");
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  dir.write("TemplateDescription.txt", renamed);
  const Decoded decoded = decodeHex(dir.path(), probeImage().hex());
  ASSERT_EQ(decoded.result, 0);
  EXPECT_EQ(linesOf(decoded.form)[0], "Template Changed probe, test fixture");
}

}  // namespace

namespace {

TEST(DecodeRaw, ExtremeWidthsStayWithinTheImage) {
  // Widths far beyond the image, and negative ones that move the position back before
  // bit 0, read zeros there and end quickly.
  ScratchDir dir;
  dir.write("TemplateDescription.txt",
            "Template Wide\ncrc8\n\"Serial no.\",\"RO\",\"64\",\"UNINT\"\nselector 2, 0\n"
            "selector 8, 7\n\"Huge\",\"RW\",\"99999999999999999999\",\"UNINT\"\n"
            "selector 99999999999999999999, 0\n"
            "\"Back\",\"RW\",\"-99999999999999999999\",\"DATE\"\n"
            "\"Back\",\"RW\",\"-99999999999999999999\",\"ConRelRes\",1,1e300,0\n"
            "\"Text\",\"RW\",\"8\",\"ASCII\"\nEndTemplate\n");
  ImageBuilder image;
  image.put(8, 0).put(64, 0).put(2, 0).put(8, 7);
  const Decoded decoded = decodeHex(dir.path(), image.checksum().hex());
  ASSERT_EQ(decoded.result, 0);
  const auto lines = linesOf(decoded.form);
  EXPECT_EQ(lines[5], "\"Huge\",\"RW\",\"99999999999999999999\",\"UNINT\",DATA,0");
  EXPECT_EQ(lines.back(), "EndTemplate");
}

}  // namespace
