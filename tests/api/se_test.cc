// Tests of the SE exports: set operations, file round trip and merging, and
// the guarded load and save.
#include <string>

#include <gtest/gtest.h>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(SeExports, FillSaveAndMerge) {
  orvotest::TempDir dir;
  HSE h = CreateSE();
  ASSERT_NE(h, nullptr);
  EXPECT_FALSE(FindSE(h, 1));
  EXPECT_TRUE(AddSE(h, 30));
  EXPECT_FALSE(AddSE(h, 30));
  AddSE(h, 10);
  AddSE(h, 20);
  EXPECT_TRUE(EraseSE(h, 20));
  EXPECT_FALSE(EraseSE(h, 20));
  std::string file = dir.File("pick.sel");
  ASSERT_TRUE(SaveSE(h, file.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(file), "10\r\n30\r\n");

  HSE other = CreateSE();
  AddSE(other, 5);
  ASSERT_TRUE(LoadSE(other, file.c_str()));
  EXPECT_TRUE(FindSE(other, 5));
  EXPECT_TRUE(FindSE(other, 10));
  EXPECT_TRUE(FindSE(other, 30));
  ClearSE(other);
  EXPECT_FALSE(FindSE(other, 5));

  EXPECT_FALSE(LoadSE(other, dir.File("missing.sel").c_str()));
  EXPECT_FALSE(LoadSE(other, nullptr));
  EXPECT_FALSE(SaveSE(h, dir.File("no/dir/pick.sel").c_str()));
  EXPECT_FALSE(SaveSE(h, nullptr));
  FreeSE(other);
  FreeSE(h);
}

TEST(SeExports, NullHandle) {
  EXPECT_FALSE(AddSE(nullptr, 1));
  EXPECT_FALSE(EraseSE(nullptr, 1));
  EXPECT_FALSE(FindSE(nullptr, 1));
  ClearSE(nullptr);
  EXPECT_FALSE(SaveSE(nullptr, "x"));
  EXPECT_FALSE(LoadSE(nullptr, "x"));
  FreeSE(nullptr);
}

}  // namespace
