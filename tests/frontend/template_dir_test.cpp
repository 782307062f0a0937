// One template directory names one file, whether the engine or the front end opens it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "frontend_fixture.h"
#include "tedskit/dorvia.h"

namespace frontendtest {
namespace {

namespace fs = std::filesystem;

// A description file in the current directory, where "/" must not lead.
class RootDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    if (fs::exists("/TemplateDescription.txt")) GTEST_SKIP() << "the root holds a description file";
    image_ = readExample("accelerometer.hex");
    const fs::path data = fs::absolute(kDataDir);
    fs::copy_file(data / "TemplateDescription.txt", fs::path(here_.path()) / "TemplateDescription.txt");
    previous_ = fs::current_path();
    fs::current_path(here_.path());
  }
  void TearDown() override {
    if (!previous_.empty()) fs::current_path(previous_);
  }

  int32_t engineDecode(const char* dir) {
    const char* form = nullptr;
    int32_t valid = 0;
    return DORVIA_DecodeRawTEDSToTemplateForm(dir, image_.memory.c_str(), image_.appRegister.c_str(), 0,
                                              &form, &valid);
  }
  int32_t frontEndList(const char* dir) {
    IDNameNode* first = nullptr;
    return QUILLON_GetTemplateIDNames(dir, QUILLON_KIND_STANDARD, 0, &first);
  }

  HexImage image_;
  ScratchDir here_;
  fs::path previous_;
};

TEST_F(RootDirectory, NamesTheRootsFileInTheEngineAndTheFrontEnd) {
  // The current directory: both find the file.
  EXPECT_EQ(engineDecode(""), 0);
  EXPECT_GT(frontEndList(""), 0);
  // "/": neither takes the file of the current directory for the root's.
  testing::internal::CaptureStdout();
  const int32_t decoded = engineDecode("/");
  const std::string said = testing::internal::GetCapturedStdout();
  EXPECT_EQ(decoded, DORVIA_ERR_FILE_NOT_OPENED);
  EXPECT_EQ(said, "The file /TemplateDescription.txt was not opened\n");
  EXPECT_EQ(frontEndList("/"), QUILLON_ERR_FILE_NOT_OPENED);
}

}  // namespace
}  // namespace frontendtest
