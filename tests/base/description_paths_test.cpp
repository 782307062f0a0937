#include "base/description_paths.h"

#include <gtest/gtest.h>

namespace tedskit::base {
namespace {

TEST(DescriptionPaths, OneRuleForEveryDirectory) {
  struct Case {
    const char* dir;
    const char* path;
  } cases[] = {
      {nullptr, "TemplateDescription.txt"},
      {"", "TemplateDescription.txt"},
      {"data", "data/TemplateDescription.txt"},
      {"data/", "data/TemplateDescription.txt"},
      {"data\\", "data/TemplateDescription.txt"},
      {"/", "/TemplateDescription.txt"},
      {"/srv/teds", "/srv/teds/TemplateDescription.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(standardDescriptionPath(c.dir), c.path) << (c.dir ? c.dir : "null");
  EXPECT_EQ(manufacturerDescriptionPath("data/", 17), "data/17_TemplateDescription.txt");
  EXPECT_EQ(manufacturerListPath("/"), "/Manufacture.txt");
}

}  // namespace
}  // namespace tedskit::base
