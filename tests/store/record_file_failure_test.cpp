// Record files that cannot be written or read: a failed save changes no file, and
// malformed files give a result code.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "record_file_fixture.h"

namespace {

using namespace storetest;

std::vector<std::string> filesIn(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(RecordFileSave, ASaveThatFailsOnItsThirdRecordLeavesTheOldFileByteIdentical) {
  struct BadRecord {
    const char* what;
    std::function<void(int32_t& descriptor, TEDSTemplateFieldArrayStruct&)> spoil;
  };
  // LMS geometry items: 0 manufacturer, 11 direction, 12 geometry selector.
  const BadRecord bad[] = {
      {"descriptor 2", [](int32_t& d, TEDSTemplateFieldArrayStruct&) { d = 2; }},
      {"direction 4",
       [](int32_t&, TEDSTemplateFieldArrayStruct& a) { std::snprintf(a.items[11].value, 64, "4"); }},
      {"selector 2",
       [](int32_t&, TEDSTemplateFieldArrayStruct& a) { std::snprintf(a.items[12].value, 64, "2"); }},
      {"sign -1",
       [](int32_t&, TEDSTemplateFieldArrayStruct& a) {
         a.items[12].datatype = 201;
         std::snprintf(a.items[12].value, 64, "-1");
       }},
      {"line end in a value",
       [](int32_t&, TEDSTemplateFieldArrayStruct& a) { std::snprintf(a.items[9].value, 64, "a\nb"); }},
      {"line end in the name",
       [](int32_t&, TEDSTemplateFieldArrayStruct& a) { std::snprintf(a.templateName, 256, "a\r"); }},
  };
  const auto good = laidOut(CALDEN_DESCRIPTOR_LMS, 118);
  fillValues(good->array, 18);
  ASSERT_STREQ("Sensitivity direction (x,y,z)", good->array.items[11].label);
  ASSERT_STREQ("Geometry Selector", good->array.items[12].label);

  ScratchDir dir;
  const std::string path = dir.file("records.txt");
  const std::string old = "LMS Template,3\nthe file as it was\n";
  for (const BadRecord& b : bad) {
    for (const int32_t append : {0, 1}) {
      SCOPED_TRACE(std::string(b.what) + (append ? " appended" : " replacing"));
      auto spoilt = newTagged();
      spoilt->array = good->array;
      int32_t descriptor = CALDEN_DESCRIPTOR_LMS;
      b.spoil(descriptor, spoilt->array);
      const int32_t handle = CreateNewStoredDataStruct();
      ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &good->array, 0, 0));
      ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &good->array, 1, 0));
      ASSERT_EQ(0, Calden(handle, descriptor, &spoilt->array, 2, 0));

      writeText(path, old);
      EXPECT_EQ(CALDEN_GENERAL_ERROR, save(handle, path, append));
      EXPECT_EQ(old, readText(path));
      EXPECT_EQ(std::vector<std::string>{"records.txt"}, filesIn(dir.file("")));
      EXPECT_EQ(3, GetNumberOfSavedItems(handle));
    }
  }
  // An appending save that fails on a file that was not there leaves none.
  std::filesystem::remove(path);
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, 2, &good->array, 0, 0));
  EXPECT_EQ(CALDEN_GENERAL_ERROR, save(handle, path, 1));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(RecordFileSave, AReplacedFileKeepsItsPermissionsAndReadOnlyFilesAreNotReplaced) {
  const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, 0, 0));
  ScratchDir dir;
  const std::string path = dir.file("records.txt");
  writeText(path, "old\n");
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(0, save(handle, path));
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
            fs::status(path).permissions());

  // A link is followed: the file it names is replaced and the link stays.
  const std::string link = dir.file("link.txt");
  fs::create_symlink(path, link);
  writeText(path, "old\n");
  ASSERT_EQ(0, save(handle, link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE("old\n", readText(path));

  if (geteuid() != 0) {  // root writes read-only files anyway
    writeText(path, "old\n");
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(CALDEN_FILE_NOT_FOUND, save(handle, path));
    EXPECT_EQ("old\n", readText(path));
  }
}

// Two blocks of the LMS free-format template, as a save writes them.
std::vector<std::string> validLines() {
  const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  fillValues(record->array, 18);
  const int32_t handle = CreateNewStoredDataStruct();
  EXPECT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, 0, -1));
  EXPECT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, 1, -1));
  ScratchDir dir;
  EXPECT_EQ(0, save(handle, dir.file("valid.txt")));
  std::vector<std::string> lines;
  std::istringstream in(readText(dir.file("valid.txt")));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string joined(const std::vector<std::string>& lines, const char* end = "\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

TEST(RecordFileRead, MalformedFilesGiveACodeAndKeepTheBlocksBeforeThem) {
  const std::vector<std::string> valid = validLines();
  const std::size_t blockLines = valid.size() / 2;  // type, template, items, two empty lines
  ASSERT_EQ("LMS Template,3", valid[0]);
  ASSERT_EQ("LMS Template,3", valid[blockLines]);
  const auto firstBlock =
      std::vector<std::string>(valid.begin(), valid.begin() + static_cast<long>(blockLines));
  const auto withLine = [&](std::size_t at, const std::string& line) {
    auto lines = valid;
    lines.insert(lines.begin() + static_cast<long>(at), line);
    return joined(lines);
  };
  const auto replaced = [&](std::size_t at, const std::string& line) {
    auto lines = valid;
    lines[at] = line;
    return joined(lines);
  };

  struct Case {
    const char* what;
    std::string text;
    int32_t result;
    int32_t stored;
  };
  const Case cases[] = {
      {"valid", joined(valid), 0, 2},
      {"carriage returns before the newlines", joined(valid, "\r\n"), 0, 2},
      {"short lines between blocks", withLine(blockLines, "x"), 0, 2},
      {"template name holding the delimiter and numbers", replaced(1, "Free, 12 V, 3 axes,117"), 0, 2},
      {"select-case count above 16", replaced(1, "LMS Free Format,117,17,1"), 0, 2},
      {"not a type line", "Some other file\n" + joined(valid), CALDEN_FILE_MALFORMED, 0},
      {"not a type line after a block", joined(firstBlock) + "garbage line\n", CALDEN_FILE_MALFORMED, 1},
      {"line over 511 characters", withLine(blockLines, std::string(512, 'L')), CALDEN_FILE_MALFORMED, 1},
      {"line of 511 characters",
       replaced(3, valid[3].substr(0, valid[3].size() - 1) + std::string(511 - valid[3].size(), 'u') + "\""),
       0, 2},
      {"block cut short", joined(std::vector<std::string>(valid.begin(), valid.end() - 4)),
       CALDEN_FILE_MALFORMED, 1},
      // Labels are not compared, so the block is taken and its last line left over.
      {"one item line too many", withLine(3, valid[3]), CALDEN_FILE_MALFORMED, 1},
      {"one item line too few",
       joined(firstBlock) +
           joined(std::vector<std::string>(valid.begin() + static_cast<long>(blockLines), valid.end() - 3)),
       CALDEN_FILE_MALFORMED, 1},
      {"template ID 256", replaced(1, "LMS Free Format,256"), CALDEN_FILE_MALFORMED, 0},
      {"template ID -1", replaced(1, "LMS Free Format,-1"), CALDEN_FILE_MALFORMED, 0},
      {"no template ID", replaced(1, "LMS Free Format"), CALDEN_FILE_MALFORMED, 0},
      {"template not in the description file",
       "IEEE 1451.4 Template,0\nNone,23\n" + joined(std::vector<std::string>(valid.begin() + 2, valid.end())),
       CALDEN_FILE_MALFORMED, 0},
      {"type line without delimiter", replaced(0, "LMS Template"), CALDEN_FILE_MALFORMED, 0},
      {"item line without label", replaced(2, "1,Manufacturer,x(18),"), CALDEN_FILE_MALFORMED, 0},
      {"three numbers before the label", replaced(3, "1,1,1," + valid[3].substr(2)), CALDEN_FILE_MALFORMED,
       0},
      {"missing item lines at the end", joined(std::vector<std::string>(valid.begin(), valid.begin() + 3)),
       CALDEN_FILE_MALFORMED, 0},
      {"binary garbage", std::string("LMS Template\x00\xff\n\x01\x02\"\"\n", 20), CALDEN_FILE_MALFORMED, 0},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeText(dir.file("case.txt"), c.text);
    const int32_t handle = CreateNewStoredDataStruct();
    EXPECT_EQ(c.result, read(handle, dir.file("case.txt")));
    EXPECT_EQ(c.stored, GetNumberOfSavedItems(handle));
  }
}

}  // namespace
