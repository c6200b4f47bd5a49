// Tests of the SE exports: set operations, a file round trip that merges, and
// the guarded load and save.
#include <gtest/gtest.h>

#include <string>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(SeExports, FillSaveAndMerge) {
  orvotest::TempDir dir;
  HSE h = CreateSE();
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(AddSE(h, 30));
  EXPECT_FALSE(AddSE(h, 30));
  AddSE(h, 10);
  AddSE(h, 20);
  EXPECT_TRUE(EraseSE(h, 20));
  EXPECT_FALSE(EraseSE(h, 20));
  std::string file = dir.File("pick.sel");
  ASSERT_TRUE(SaveSE(h, file.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(file), "10\r\n30\r\n");
  ClearSE(h);
  EXPECT_FALSE(FindSE(h, 10));
  AddSE(h, 5);
  ASSERT_TRUE(LoadSE(h, file.c_str()));
  EXPECT_TRUE(FindSE(h, 5) && FindSE(h, 10) && FindSE(h, 30));
  // Failures inside are false, not exceptions.
  EXPECT_FALSE(LoadSE(h, dir.File("missing.sel").c_str()));
  EXPECT_FALSE(LoadSE(h, nullptr));
  EXPECT_FALSE(SaveSE(h, dir.File("no/dir/pick.sel").c_str()));
  EXPECT_FALSE(SaveSE(h, nullptr));
  FreeSE(h);
}

TEST(SeExports, NullHandleGivesNeutralResults) {
  EXPECT_FALSE(AddSE(nullptr, 1));
  EXPECT_FALSE(EraseSE(nullptr, 1));
  EXPECT_FALSE(FindSE(nullptr, 1));
  ClearSE(nullptr);
  EXPECT_FALSE(SaveSE(nullptr, "x"));
  EXPECT_FALSE(LoadSE(nullptr, "x"));
  FreeSE(nullptr);
}

}  // namespace
