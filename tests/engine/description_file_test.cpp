// Finding a template in a description file, seen through the field array of a template.
#include <gtest/gtest.h>

#include "engine_test_support.h"

using namespace enginetest;

namespace {

const char* kFile =
    "* Comment lines start with '*', '(', a blank or are empty.\n"
    "(Template Hidden)\n"
    " Template AlsoHidden\n"
    "\n"
    "Template No ID here\n"
    "selector 4, 9\n"
    "\"A\",\"RW\",\"8\",\"UNINT\"\n"
    "EndTemplate\n"
    "Template Nine\n"
    "selector 2, 0\n"
    "selector 8, 9\n"
    "   \"Indented\",\"RW\",\"8\",\"UNINT\", \"000\"\n"
    "* a comment inside the body\n"
    "EndTemplate\n"
    "Template Nine again\n"
    "selector 8, 9\n"
    "EndTemplate\n"
    "Template Ten\n"
    "selector 8, 0x0A\n"
    "\"B\",\"RO\",\"8\",\"UNINT\"\n"
    "EndTemplate\n";

struct Lookup {
  int32_t result;
  std::string name;
  int32_t numItems;
};

Lookup lookUp(const ScratchDir& dir, int32_t id) {
  auto array = makeArray();
  const int32_t result = DORVIA_SetTEDSFieldArrayStructToTemplate(dir.file("TemplateDescription.txt").c_str(),
                                                                  id, 0, 0, array.get());
  return {result, array->templateName, array->numItems};
}

TEST(DescriptionFile, TemplatesAreFoundByTheirWidth8Selector) {
  ScratchDir dir;
  dir.write("TemplateDescription.txt", kFile);
  const Lookup nine = lookUp(dir, 9);
  EXPECT_EQ(nine.result, 0);
  EXPECT_EQ(nine.name, "Nine") << "the first template of an ID wins";
  EXPECT_EQ(nine.numItems, 1) << "body lines lose their indent, comments are dropped";

  const Lookup ten = lookUp(dir, 10);
  EXPECT_EQ(ten.result, 0);
  EXPECT_EQ(ten.name, "Ten") << "selector values are C integer literals";
}

TEST(DescriptionFile, TemplateWithoutWidth8SelectorIsNeverFound) {
  // "No ID here" has only a width-4 selector of value 9: it is neither found by 9 nor
  // given the ID of the template after it.
  ScratchDir dir;
  dir.write("TemplateDescription.txt", kFile);
  EXPECT_EQ(lookUp(dir, 9).name, "Nine");
  dir.write("TemplateDescription.txt",
            "Template Lost\n\"A\",\"RW\",\"8\",\"UNINT\"\nEndTemplate\n"
            "Template Found\nselector 8, 3\nEndTemplate\n");
  EXPECT_EQ(lookUp(dir, 3).name, "Found");
  EXPECT_EQ(lookUp(dir, 4).result, DORVIA_ERR_TEMPLATE_NOT_FOUND);
}

TEST(DescriptionFile, FilesWithoutTemplatesOrWithoutTheFile) {
  ScratchDir dir;
  for (const char* content : {"", "* only a comment\n", "Template\n", "selector 8, 1\n"}) {
    dir.write("TemplateDescription.txt", content);
    EXPECT_EQ(lookUp(dir, 1).result, DORVIA_ERR_TEMPLATE_NOT_FOUND) << content;
  }
  testing::internal::CaptureStdout();
  auto array = makeArray();
  EXPECT_EQ(DORVIA_SetTEDSFieldArrayStructToTemplate(dir.file("none.txt").c_str(), 1, 0, 0, array.get()),
            DORVIA_ERR_FILE_NOT_OPENED);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "The file " + dir.file("none.txt") + " was not opened\n");
}

}  // namespace
