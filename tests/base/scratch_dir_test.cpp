// A scratch directory is gone with everything in it once its owner is, and a moved one is
// removed once, by its new owner.
#include "base/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace {

using tedskit::base::ScratchDir;
namespace fs = std::filesystem;

TEST(ScratchDir, IsRemovedWithWhatItHoldsByItsLastOwner) {
  fs::path kept;
  {
    std::optional<ScratchDir> first = ScratchDir::make("teds-test");
    ASSERT_TRUE(first);
    kept = first->path();
    EXPECT_EQ(kept.parent_path(), fs::temp_directory_path());
    EXPECT_TRUE(kept.filename().string().starts_with("teds-test-"));
    fs::create_directory(kept / "inner");
    std::ofstream(kept / "inner" / "file") << "text";
    {
      ScratchDir second = std::move(*first);
      first.reset();  // the moved-from directory removes nothing
      EXPECT_TRUE(fs::exists(kept / "inner" / "file"));
      EXPECT_EQ(second.path(), kept);
    }
    EXPECT_FALSE(fs::exists(kept));
  }
  EXPECT_FALSE(fs::exists(kept));
}

TEST(ScratchDir, IsNothingWhereNoneCanBeMade) {
  EXPECT_FALSE(ScratchDir::make("no/such/folder/teds"));
}

}  // namespace
