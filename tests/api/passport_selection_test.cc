// The MP and SE exports: copy-if-it-fits getters, a passport saved, loaded and
// found, a selection file round trip that merges, neutral results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(MpExports, StringGettersCopyOnlyWhatFits) {
  HMP h = CreateMP();
  ASSERT_NE(h, nullptr);
  SetAliasMP(h, "Roads");
  ASSERT_TRUE(AddAttributeMP(h, "width", " 7 "));
  char buffer[16];
  std::memset(buffer, '#', sizeof(buffer));
  EXPECT_FALSE(GetAliasMP(h, buffer, 5));  // exactly the length: no room for NUL
  EXPECT_FALSE(GetAttributeMP(h, "Width", buffer, 1));
  EXPECT_EQ(buffer[0], '#');
  EXPECT_TRUE(GetAliasMP(h, buffer, 6));
  EXPECT_STREQ(buffer, "Roads");
  EXPECT_FALSE(GetAliasMP(h, nullptr, 6));
  EXPECT_TRUE(GetAttributeIdPosMP(h, 0, buffer, sizeof(buffer)));
  EXPECT_STREQ(buffer, "WIDTH");
  EXPECT_TRUE(GetAttributePosMP(h, 0, buffer, sizeof(buffer)));
  EXPECT_STREQ(buffer, "7");

  // Failures inside: NUL in the first byte, false (the guard's test has the rule).
  buffer[0] = '#';
  EXPECT_FALSE(GetAttributeMP(h, "height", buffer, sizeof(buffer)));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_FALSE(GetAttributeIdPosMP(h, 1, buffer, sizeof(buffer)));
  EXPECT_TRUE(RemoveAttributeMP(h, "WIDTH"));
  EXPECT_EQ(GetAttributeCountMP(h), 0);
  FreeMP(h);
}

TEST(MpExports, SaveLoadAndFind) {
  orvotest::TempDir dir;
  std::string base = dir.File("map");
  HMP h = CreateMP();
  SetFileNameMP(h, base.c_str());
  SetAliasMP(h, "Main roads");
  BOUND in = {1234567.123456789, -0.1, 2.5e-7, 1e21};  // saved normalised
  SetBoundMP(h, &in);
  GetBoundMP(h, nullptr);
  ASSERT_TRUE(AddAttributeMP(h, " zeta ", " 1 "));
  ASSERT_TRUE(AddAttributeMP(h, "Alpha", "two = 2, \"quoted\""));
  ASSERT_TRUE(AddAttributeMP(h, "empty", ""));
  ASSERT_TRUE(SaveMP(h));
  const std::string saved =
      "[COMMON]\r\nALIAS=Main roads\r\nBOUND=2.5e-07,-0.1,1234567.123456789,1e+21\r\n"
      "ZETA=1\r\nALPHA=two = 2, \"quoted\"\r\nEMPTY=\r\n";
  EXPECT_EQ(orvotest::ReadFileBytes(base + ".passport"), saved);
  HMP back = CreateMP();
  ASSERT_TRUE(LoadMP(back, (base + ".bspatial").c_str()));
  char buffer[64];
  ASSERT_TRUE(GetFileNameMP(back, buffer, sizeof(buffer)));
  EXPECT_EQ(buffer, base);
  ASSERT_TRUE(GetAttributeMP(back, "alpha", buffer, sizeof(buffer)));
  EXPECT_STREQ(buffer, "two = 2, \"quoted\"");
  // Saving the loaded passport gives the same bytes: alias and bound too.
  ASSERT_TRUE(SaveMP(back));
  EXPECT_EQ(orvotest::ReadFileBytes(base + ".passport"), saved);

  // A syntax error in the file is a false load, not an exception.
  orvotest::WriteFileBytes(base + ".passport", "[COMMON]\r\n[common]\r\n");
  EXPECT_FALSE(LoadMP(back, base.c_str()));
  SetFileNameMP(back, dir.File("no/dir/map").c_str());
  EXPECT_FALSE(SaveMP(back));

  // FindMP over a text spatial file (the bound rules are the passport's tests).
  orvotest::WriteFileBytes(base + ".spatial", "LIN 7\r\n1\r\n2\r\n10,20\r\n11.5,20\r\n\r\n");
  ASSERT_TRUE(FindMP(back, base.c_str(), false));
  GetBoundMP(back, &in);
  EXPECT_EQ(in.maxx, 11.5);
  EXPECT_FALSE(FindMP(back, base.c_str(), true));  // no .bspatial
  FreeMP(back);
  FreeMP(h);
}

TEST(SeExports, FillSaveAndMerge) {
  orvotest::TempDir dir;
  HSE h = CreateSE();
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(AddSE(h, 30));
  EXPECT_FALSE(AddSE(h, 30));
  for (int32_t id : {10, 20, INT32_MIN, -5, INT32_MAX}) AddSE(h, id);
  EXPECT_TRUE(EraseSE(h, 20));
  EXPECT_FALSE(EraseSE(h, 20));
  std::string file = dir.File("pick.sel");
  ASSERT_TRUE(SaveSE(h, file.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(file), "-2147483648\r\n-5\r\n10\r\n30\r\n2147483647\r\n");
  ClearSE(h);
  EXPECT_FALSE(FindSE(h, 10));
  AddSE(h, 5);
  ASSERT_TRUE(LoadSE(h, file.c_str()));  // merges
  EXPECT_TRUE(FindSE(h, 5) && FindSE(h, 10) && FindSE(h, INT32_MIN) && FindSE(h, INT32_MAX));
  // An empty selection writes an empty file, replacing the old one.
  ClearSE(h);
  ASSERT_TRUE(SaveSE(h, file.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(file), "");
  // Failures inside are false, not exceptions.
  EXPECT_FALSE(LoadSE(h, dir.File("missing.sel").c_str()));
  EXPECT_FALSE(SaveSE(h, dir.File("no/dir/pick.sel").c_str()));
  FreeSE(h);
}

TEST(MpSeExports, NullHandlesGiveNeutralResults) {
  char buffer[8] = "#######";
  EXPECT_FALSE(GetAliasMP(nullptr, buffer, sizeof(buffer)));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(GetAttributeCountMP(nullptr), 0);
  EXPECT_FALSE(LoadMP(nullptr, "x") || SaveMP(nullptr) || FindMP(nullptr, "x", true));
  SetAliasMP(nullptr, "x");
  BOUND b = {1.0, 2.0, 3.0, 4.0};
  GetBoundMP(nullptr, &b);
  EXPECT_EQ(b.minx, 1.0);
  SetBoundMP(nullptr, &b);
  FreeMP(nullptr);
  EXPECT_FALSE(AddSE(nullptr, 1) || EraseSE(nullptr, 1) || FindSE(nullptr, 1));
  EXPECT_FALSE(SaveSE(nullptr, "x") || LoadSE(nullptr, "x"));
  ClearSE(nullptr);
  FreeSE(nullptr);
}

}  // namespace
