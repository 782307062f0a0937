// teds encode, JSON given back to the tool, and virtual TEDS files (.ted) in and out.
#include <gtest/gtest.h>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

// The memory and register lines of an example file, as the tool prints them.
std::string exampleAsText(const std::string& name) {
  std::vector<std::string> lines;
  std::istringstream in(slurp(example(name)));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  }
  return "memory: " + lines.at(0) + "\nregister: " + lines.at(1) + "\n";
}

// Every example and a new image of every template the tool ships (each in the engine that
// lays it out): what, image text.
std::vector<std::pair<std::string, std::string>> everyExampleAndTemplate() {
  std::vector<std::pair<std::string, std::string>> images;  // what, image text
  for (const char* file : {"accelerometer.hex", "microphone.hex", "loadcell.hex", "triaxial.hex"}) {
    images.emplace_back(file, exampleAsText(file));
  }
  const Json list = parseJson(runTeds({"templates", "--json"}).out);
  for (const auto& item : list.items) {
    std::vector<std::string> args = {"new"};
    const std::string kind = item["kind"].text;
    // The calibration templates (40 to 42) follow a transducer template; new lays out none alone.
    if (kind == "v1.0" && item["id"].number >= 40) continue;
    if (kind == "lms") {
      args.push_back(item["id"].number == 117 ? "lms-free" : "lms-geometry");
    } else {
      args.push_back(std::to_string(static_cast<int>(item["id"].number)));
      if (kind == "manufacturer") args.insert(args.end(), {"--manufacturer", "17"});
    }
    // A serial number, since a bare layout of template 0 is blank and refused as no TEDS.
    args.insert(args.end(), {"--set", "Serial no.=4711"});
    const Result made = runTeds(args);
    EXPECT_EQ(made.status, 0) << args[1] << ": " << made.err;
    images.emplace_back(kind + " " + args[1], made.out);
  }
  return images;
}

// decode --json, then encode: the very same image, for every example and every template.
TEST(Encode, JsonOfEveryExampleAndTemplateGivesTheImageBack) {
  const auto images = everyExampleAndTemplate();
  ASSERT_GT(images.size(), 20u);
  for (const auto& [what, image] : images) {
    const Result json = runTeds({"decode", "--json", "-"}, image);
    ASSERT_EQ(json.status, 0) << what << ": " << json.err;
    const Result encoded = runTeds({"encode", "-"}, json.out);
    EXPECT_EQ(encoded.status, 0) << what << ": " << encoded.err;
    EXPECT_EQ(encoded.out, image) << what;
    EXPECT_EQ(encoded.err, "") << what;  // no field was taken for changed
  }
}

// A chip's whole memory made without a bus reads back as the image it was made from, as
// "chip:" lines and as the bytes in a file.
TEST(Encode, ChipImagesOfEveryExampleAndTemplateReadBack) {
  for (const auto& [what, image] : everyExampleAndTemplate()) {
    const Result chip = runTeds({"encode", "--chip", "auto", "-"}, image);
    ASSERT_EQ(chip.status, 0) << what << ": " << chip.err;
    EXPECT_EQ(chip.out.rfind("chip: ", 0), 0u) << what;
    EXPECT_EQ(runTeds({"encode", "-"}, chip.out).out, image) << what;
  }
  Scratch scratch;
  const std::string file = scratch.path("sensor.bin").string();
  const Result written =
      runTeds({"encode", "--chip", "DS2433", "--output", file, example("microphone.hex")});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(slurp(file).size(), 512u);
  EXPECT_EQ(runTeds({"encode", file}).out, exampleAsText("microphone.hex"));

  const Result big = runTeds({"new", "39", "--set", "Serial no.=4711"});
  const Result cut = runTeds({"encode", "--chip", "DS2430A", "-"}, big.out);
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.err.find("the TEDS does not fit a DS2430A: it needs "), std::string::npos) << cut.err;
  const Result unknown = runTeds({"encode", "--chip", "DS1990", example("microphone.hex")});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("no chip model \"DS1990\": DS2430A, DS2431, DS2433 or DS28EC20"), std::string::npos);
}

TEST(Encode, HandEditedJsonIsCheckedAndEncoded) {
  Scratch scratch;
  std::string json = runTeds({"decode", "--json", example("accelerometer.hex")}).out;
  const auto replace = [](std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  const std::string edited = replace(replace(json, "\"value\": 12,", "\"value\": 34,"),  // Meas. position ID
                                     "\"value\": \"z\"", "\"value\": \"x\"");
  const Result encoded = runTeds({"encode", "-"}, edited);
  ASSERT_EQ(encoded.status, 0) << encoded.err;
  const Json back = parseJson(runTeds({"decode", "--json", "-"}, encoded.out).out);
  EXPECT_EQ(fieldValue(back, "Meas. position ID"), "34");
  EXPECT_EQ(fieldValue(back, "Sensitivity direction (x,y,z)"), "x");
  EXPECT_EQ(fieldValue(back, "User data (ascii)"), "BRKT-7");
  // decode, edit and write take the JSON as well.
  const Result decoded = runTeds({"decode", "-"}, edited);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_NE(decoded.out.find("Source: JSON"), std::string::npos) << decoded.out;
  const Result reEdited = runTeds({"edit", "-", "--set", "Meas. position ID=35"}, edited);
  ASSERT_EQ(reEdited.status, 0) << reEdited.err;
  EXPECT_EQ(fieldValue(parseJson(runTeds({"decode", "--json", "-"}, reEdited.out).out), "Meas. position ID"),
            "35");
  ASSERT_EQ(runTeds({"write", "--yes", "--bus", scratch.bus().string(), "-"}, edited).status, 0);
  const Json written = parseJson(runTeds({"read", "--json", "--bus", scratch.bus().string()}).out);
  EXPECT_EQ(fieldValue(written, "Meas. position ID"), "34");

  const Result refused = runTeds({"encode", "-"}, replace(json, "\"value\": 12,", "\"value\": 2048,"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("teds: standard input: \"Meas. position ID\" takes 0 to 2047"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(refused.out, "");
  const Result refusedByDecode =
      runTeds({"decode", "-"}, replace(json, "\"value\": 12,", "\"value\": 2048,"));
  EXPECT_EQ(refusedByDecode.status, 1);
  EXPECT_NE(refusedByDecode.err.find("takes 0 to 2047"), std::string::npos) << refusedByDecode.err;

  const Result serial = runTeds({"encode", "-"}, replace(json, "\"value\": 1048601,", "\"value\": 77,"));
  ASSERT_EQ(serial.status, 0) << serial.err;
  EXPECT_NE(serial.err.find("teds: note: \"Serial no.\" identifies the sensor"), std::string::npos)
      << serial.err;

  const Result notJson = runTeds({"encode", scratch.write("x.json", "{\"image\": 5}").string()});
  EXPECT_EQ(notJson.status, 1);
  EXPECT_NE(notJson.err.find("x.json: the JSON input has no \"image\""), std::string::npos) << notJson.err;
}

// read, edit and encode write a virtual TEDS file by its suffix; decode, edit, encode and
// write read one.
TEST(TedFile, ReadEditDecodeAndWriteThroughTedFiles) {
  Scratch scratch;
  const std::string z = scratch.path("z.ted").string(), y = scratch.path("y.ted").string();
  ASSERT_EQ(runTeds({"read", "--bus", scratch.bus().string(), "--output", z}).status, 0);
  const std::string file = slurp(z);
  ASSERT_GT(file.size(), 40u + 64u);
  EXPECT_EQ(file.substr(0, 8), std::string("\1\1\0\1\1\0\1\0", 8));  // '[' one byte per bit
  EXPECT_EQ(file.find_first_not_of(std::string("\0\1", 2)), std::string::npos);

  const Json decoded = parseJson(runTeds({"decode", "--json", z}).out);
  EXPECT_EQ(decoded["source"].text, "virtual TEDS file");
  EXPECT_EQ(decoded["template"]["id"].number, 25);
  EXPECT_EQ(fieldValue(decoded, "Serial no."), "101010");

  const Result edited = runTeds({"edit", z, "--set", "Meas. position ID=77", "--output", y});
  ASSERT_EQ(edited.status, 0) << edited.err;
  EXPECT_EQ(fieldValue(parseJson(runTeds({"decode", "--json", y}).out), "Meas. position ID"), "77");

  // Bit for bit through JSON and back.
  const Result json = runTeds({"decode", "--json", y});
  const std::string again = scratch.path("again.ted").string();
  ASSERT_EQ(runTeds({"encode", "-", "--output", again}, json.out).status, 0);
  EXPECT_EQ(slurp(again), slurp(y));

  ASSERT_EQ(runTeds({"write", "--yes", "--bus", scratch.bus().string(), y}).status, 0);
  const Json back = parseJson(runTeds({"read", "--json", "--bus", scratch.bus().string()}).out);
  EXPECT_EQ(fieldValue(back, "Meas. position ID"), "77");
  EXPECT_TRUE(back["checksum_ok"].boolean);
}

// A template we do not ship: the Basic TEDS, and which template is missing, as for images.
TEST(TedFile, MissingTemplateShowsTheBasicTedsAndNamesTheTemplate) {
  Scratch scratch;
  const std::string basic = "2B40002008D20400";  // manufacturer 43, model 1, A, 2, serial 1234
  const std::string ted = scratch.path("t29.ted").string();
  // Header, then the Basic TEDS and selector 0 with template 29, one byte per bit.
  std::string bits(
      "\1\1\0\1\1\0\1\0"
      "\0\1\1\0\1\1\1\0"
      "\0\0\0\0\1\1\0\0"
      "\1\1\0\0\1\1\0\0"
      "\1\0\1\1\1\0\1\0",
      40);
  const std::string bytes = basic + "74";
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const int value = std::stoi(bytes.substr(i, 2), nullptr, 16);
    for (int b = 0; b < 8; ++b) bits += static_cast<char>((value >> b) & 1);
  }
  bits += std::string(8, '\0');
  spill(ted, bits);
  const Result r = runTeds({"decode", ted});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "Manufacturer ID: 43\nModel number: 1\nVersion letter: A\nVersion number: 2\nSerial no.: 1234\n");
  EXPECT_NE(r.err.find("template 29 is not among the loaded templates"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace teds_test
