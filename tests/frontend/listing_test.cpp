// The template and manufacturer lists.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "frontend_fixture.h"
#include "tedskit/quillon.h"

namespace {

using namespace frontendtest;
using Entries = std::vector<std::pair<int32_t, std::string>>;

// Walks the list forwards, checking the backward links on the way.
Entries walk(const IDNameNode* first) {
  Entries entries;
  const IDNameNode* previous = nullptr;
  for (const IDNameNode* node = first; node != nullptr; node = node->next) {
    EXPECT_EQ(node->prev, previous);
    entries.emplace_back(node->id, node->name);
    previous = node;
  }
  return entries;
}

Entries templates(const char* dir, int32_t kind, int32_t manufacturerID, int32_t expectedResult) {
  IDNameNode* first = nullptr;
  EXPECT_EQ(QUILLON_GetTemplateIDNames(dir, kind, manufacturerID, &first), expectedResult);
  EXPECT_NE(first, nullptr);
  return first != nullptr ? walk(first) : Entries{};
}

TEST(QuillonTemplateList, ListsTheShippedDescriptionFiles) {
  EXPECT_EQ(templates(kDataDir, 0, 0, 3),
            (Entries{{0, "Accelerometer, IEPE voltage output"},
                     {12, "Microphone, prepolarized free-field with preamplifier"},
                     {24, "Load cell, strain-gauge bridge"}}));
  EXPECT_EQ(templates("data/", 1, 17, 1), (Entries{{3, "Triaxial accelerometer, one channel of three"}}));
}

TEST(QuillonTemplateList, KindThreeListsTheLmsTemplatesWithoutAnyFile) {
  EXPECT_EQ(templates("/no/such/dir", 3, 0, 2),
            (Entries{{117, "LMS Free Format"}, {118, "LMS Geometry Format"}}));
}

TEST(QuillonTemplateList, FailuresLeaveAnEmptyList) {
  templates(kDataDir, 0, 0, 3);
  EXPECT_EQ(templates(kDataDir, 1, 99, QUILLON_ERR_FILE_NOT_OPENED), (Entries{{-1, ""}}));
  templates(kDataDir, 0, 0, 3);
  EXPECT_EQ(templates(kDataDir, 2, 0, QUILLON_ERR_BAD_LIST_KIND), (Entries{{-1, ""}}));
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kDataDir, 0, 0, nullptr), QUILLON_ERR_MISSING_ARGUMENT);
}

TEST(QuillonTemplateList, LineRules) {
  ScratchDir dir;
  dir.write("TemplateDescription.txt",
            "* comment\n"
            "selector 8, 99\n"  // before any template: belongs to none
            "Template No selector\n"
            "selector 2, 0\n"
            "EndTemplate\n"
            "Template Windows line ends\r\n"
            "selector 8, 7\r\n"
            "selector 8, 9\r\n"  // the first one names the template
            "EndTemplate\r\n"
            "Template Wide selector\n"
            "selector 80, 5\n"  // not of width 8
            "selector 8,6\n"    // no blank after the comma
            "EndTemplate\n"
            "Template\n"
            "selector 8, 0x0A\n"
            "EndTemplate");
  EXPECT_EQ(templates(dir.path().c_str(), 0, 0, 4),
            (Entries{{-1, "No selector"}, {7, "Windows line ends"}, {6, "Wide selector"}, {10, ""}}));

  ScratchDir empty;
  empty.write("TemplateDescription.txt", "");
  EXPECT_EQ(templates(empty.path().c_str(), 0, 0, 0), (Entries{{-1, ""}}));
}

TEST(QuillonTemplateList, LongNamesAreCutToTheNode) {
  ScratchDir dir;
  dir.write("TemplateDescription.txt", "Template " + std::string(400, 'x') + "\nselector 8, 1\n");
  const Entries entries = templates(dir.path().c_str(), 0, 0, 1);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].first, 1);
  EXPECT_EQ(entries[0].second, std::string(259, 'x'));
}

Entries manufacturers(const char* dir, int32_t expectedResult) {
  IDNameNode* first = nullptr;
  EXPECT_EQ(QUILLON_GetManufacturerNameLookupTable(dir, &first), expectedResult);
  return first != nullptr ? walk(first) : Entries{};
}

TEST(QuillonManufacturerList, ListsTheShippedFileWithoutTheReservedIDs) {
  EXPECT_EQ(manufacturers(kDataDir, 7), (Entries{{17, "Bruel & Kjaer"},
                                                 {18, "Velmora - member of Quorvel group"},
                                                 {19, "Kistler"},
                                                 {20, "Reserved for beta compliance"},
                                                 {21, "Wilcoxon"},
                                                 {22, "Endevco"},
                                                 {23, "Quorvel"}}));
}

TEST(QuillonManufacturerList, LineRules) {
  ScratchDir dir;
  dir.write("Manufacture.txt",
            "* comment\n"
            "\n"
            "16,\"Sixteen\"\n"
            "17,\"Seventeen\"\n"
            "no number,\"Nobody\"\n"
            "2047,\"No manufacturer\"\n"
            "2048,\"After the marker ID\"\r\n"
            "300 without a comma\n"
            "4095,\"Last\"\n"
            "EndTemplate\n"
            "30,\"Never read\"\n");
  EXPECT_EQ(manufacturers(dir.path().c_str(), 3),
            (Entries{{17, "Seventeen"}, {2048, "After the marker ID"}, {4095, "Last"}}));
}

TEST(QuillonManufacturerList, MissingFileKeepsTheListAndFails) {
  manufacturers(kDataDir, 7);
  IDNameNode* first = nullptr;
  EXPECT_EQ(QUILLON_GetManufacturerNameLookupTable("/no/such/dir", &first), QUILLON_ERR_FILE_NOT_OPENED);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(QUILLON_GetManufacturerNameLookupTable(kDataDir, nullptr), QUILLON_ERR_MISSING_ARGUMENT);
}

}  // namespace
