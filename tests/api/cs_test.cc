// The classifier exports: result widths, the bounded string-out rule, wiring, load and save.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

// Yes/no results: bool rows are one byte, 0/1 rows a full 32-bit value.
template <class R, class... A>
R ResultOf(R(ORVO_CDECL*)(A...));
template <class R, class... F>
constexpr bool AllReturn(F... f) {
  return (std::is_same_v<decltype(ResultOf(f)), R> && ...);
}
static_assert(AllReturn<bool>(LoadFileCS, LoadMemoryCS, SaveFileCS, AddAttributeCS, AddGroupCS,
                              RenameGroupCS, EraseGroupCS, AddGraphCS, AddAttributeFT,
                              ReplaceAttributeFT, HasLimitsAT, CheckStringAT, CheckIntAT,
                              CheckDoubleAT));
static_assert(AllReturn<int32_t>(AddFeatureCS, RenameFeatureCS, EraseFeatureCS, RenameAttributeCS,
                                 EraseAttributeCS, RenameGraphCS, EraseGraphCS, HasValuesAT));

// A classifier handle freed at the end of the test.
struct Classify {
  Classify() : h(CreateCS()) {}
  ~Classify() { FreeCS(h); }
  HCS h;
};

TEST(ClassifyApi, StringOutIsABoundedCopyAndFeatureAttributeListExports) {
  Classify c;
  ASSERT_NE(c.h, nullptr);
  ASSERT_EQ(AddFeatureCS(c.h, "road"), 1);
  struct Case {
    int32_t index, size;
    const char* bytes;  // the 8-byte buffer afterwards, from all 'x'
  };
  const Case cases[] = {{0, 7, "ROAD\0\0\0x"},       // shorter: NUL-padded to the size
                        {0, 4, "ROADxxxx"},          // exactly n bytes: no terminator
                        {0, 2, "ROxxxxxx"},          // longer: cut
                        {1, 8, "\0\0\0\0\0\0\0\0"},  // index equal to the count
                        {0, 0, "xxxxxxxx"},         {0, -5, "xxxxxxxx"}};
  for (const Case& k : cases) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(GetFeatureIdCS(c.h, k.index, buffer, k.size), 1) << k.size;
    EXPECT_EQ(std::memcmp(buffer, k.bytes, 8), 0) << k.size;
  }
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, nullptr, 8), 0);
  // The FT exports on the same feature.
  HFT f = GetFeatureCS(c.h, "road");
  EXPECT_TRUE(AddAttributeFT(f, "width", true));
  EXPECT_FALSE(AddAttributeFT(f, "WIDTH", false));
  EXPECT_TRUE(AddAttributeFT(f, "lanes", false));
  EXPECT_EQ(IsAttributeMustBeFT(f, 0), 0);
  // Refused: an id listed elsewhere or at that very place, an index outside.
  EXPECT_FALSE(ReplaceAttributeFT(f, 0, "Lanes", false));
  EXPECT_FALSE(ReplaceAttributeFT(f, 0, "width", false));
  EXPECT_FALSE(ReplaceAttributeFT(f, 2, "x", true));
  EXPECT_FALSE(ReplaceAttributeFT(f, -1, "x", true));
  EXPECT_TRUE(ReplaceAttributeFT(f, 0, "surface", true));
  EraseAttributeFT(f, "nothing");
  EraseAttributeFT(f, "lanes");
  EXPECT_EQ(GetAttributeCountFT(f), 1);
  char text[8];
  GetAttributeIdFT(f, 0, text, sizeof(text));
  EXPECT_STREQ(text, "SURFACE");
}

TEST(ClassifyApi, CollectionExportsReachTheirOwnCollection) {
  Classify c;
  char id[16];
  EXPECT_EQ((std::vector<int32_t>{AddFeatureCS(c.h, "ROAD"), AddFeatureCS(c.h, "road"),
                                  RenameFeatureCS(c.h, "road", "street"),
                                  EraseFeatureCS(c.h, "street"), EraseFeatureCS(c.h, "street"),
                                  AddAttributeCS(c.h, "b"), AddAttributeCS(c.h, "a"),
                                  RenameAttributeCS(c.h, "a", "c"), EraseAttributeCS(c.h, "B"),
                                  AddGroupCS(c.h, "g"), RenameGroupCS(c.h, "g", "h")}),
            (std::vector<int32_t>{1, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1}));
  GetAttributeIdCS(c.h, 0, id, sizeof(id));
  GetGroupIdCS(c.h, 0, id + 1, sizeof(id) - 1);
  EXPECT_STREQ(id, "CH");
  EXPECT_TRUE(EraseGroupCS(c.h, "H"));
  EXPECT_TRUE(AddGraphCS(c.h, "line"));
  EXPECT_EQ(RenameGraphCS(c.h, "line", "LINE"), 0);
  EXPECT_NE(GetGraphCS(c.h, "Line"), nullptr);
  EXPECT_EQ(EraseGraphCS(c.h, "line"), 1);
  AddGraphCS(c.h, "r");
  EXPECT_EQ((std::vector<int32_t>{GetFeatureCountCS(c.h), GetAttributeCountCS(c.h),
                                  GetGroupCountCS(c.h), GetGraphCountCS(c.h)}),
            (std::vector<int32_t>{0, 1, 0, 1}));
  ClearCS(c.h);
  EXPECT_EQ(GetAttributeCountCS(c.h) + GetGraphCountCS(c.h), 0);
  FreeCS(nullptr);
}

// Each AT export once; the value rules themselves are the attribute's tests.
TEST(ClassifyApi, ValueAndLimitExportsAndLoadSaveRoundTrip) {
  const char kText[] =
      "[attribute.lanes]\r\nname1=Lanes\r\ntype=int\r\nmin=\"1\"\r\nmax=\"4\"\r\n"
      "value1=\"1\",\"one\"\r\n[feature.road]\r\nlocal=LIN\r\nattributes=lanes\r\n";
  Classify c;
  ASSERT_TRUE(LoadMemoryCS(c.h, kText, static_cast<int32_t>(sizeof(kText) - 1)));
  orvotest::TempDir dir;
  std::string path = dir.File("out.cls");
  ASSERT_TRUE(SaveFileCS(c.h, path.c_str()));
  Classify back;
  ASSERT_TRUE(LoadFileCS(back.h, path.c_str()));
  EXPECT_EQ(GetAttributeCountFT(GetFeatureCS(back.h, "road")), 1);
  HAT a = GetAttributeCS(back.h, "LANES");
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(HasLimitsAT(a));
  char text[40];
  SetDataTypeAT(a, 1);
  AddValueAT(a, "2", nullptr);
  SetValueAT(a, 1, "3");
  SetValueAnnoAT(a, 1, "three");
  GetValueAT(a, 1, text, sizeof(text));
  GetValueAnnoAT(a, 1, text + 1, sizeof(text) - 1);
  EXPECT_STREQ(text, "3three");
  EXPECT_EQ(FindValueIndexAT(a, "03"), 1);
  SetMinAT(a, "1");
  SetMaxAT(a, "2");
  EXPECT_FALSE(CheckIntAT(a, 3));
  EXPECT_FALSE(CheckStringAT(a, "2"));
  GetReasonAT(a, text, sizeof(text));
  EXPECT_STREQ(text, "value not in allowed values list");
  EXPECT_TRUE(CheckDoubleAT(a, 1.7));
  ClearMinMaxAT(a);
  EXPECT_FALSE(HasLimitsAT(a));
  EXPECT_TRUE(CheckIntAT(a, 3));
  EraseValueAT(a, 0);
  EraseValueAT2(a, "3");
  EXPECT_EQ(HasValuesAT(a), 0);
  AddValueAT(a, "5", "");
  ClearValuesAT(a);
  EXPECT_EQ(GetValueCountAT(a), 0);
  EXPECT_TRUE(CheckStringAT(a, nullptr));
  EXPECT_TRUE(LoadMemoryCS(c.h, "", 0));
  EXPECT_EQ(GetFeatureCountCS(c.h), 0);
}

using Reports = std::vector<std::pair<int32_t, std::string>>;

void ORVO_CDECL Record(int32_t code, const char* text, void* user) {
  static_cast<Reports*>(user)->emplace_back(code, text);
}

// Failures inside come back as false, not as exceptions, and reach the hook.
TEST(ClassifyApi, FailuresReachTheHostsHook) {
  Reports reports;
  SetErrorNotifyHook(&Record, &reports);
  orvotest::TempDir dir;
  Classify c;
  const char kText[] =
      "[feature.a]\nlocal=pnt\n[attribute.b]\nname1=B\ntype=number\n"
      "[feature.c\n[group.d]\nanno=\"x\"\n[group.d]\n";
  ASSERT_TRUE(AddFeatureCS(c.h, "old"));
  EXPECT_FALSE(LoadMemoryCS(c.h, kText, static_cast<int32_t>(sizeof(kText) - 1)));
  EXPECT_EQ(GetFeatureCountCS(c.h), 0);  // an INI syntax error keeps nothing
  std::string missing = dir.File("missing.cls");
  EXPECT_FALSE(LoadFileCS(c.h, missing.c_str()));
  EXPECT_TRUE(LoadMemoryCS(c.h, kText, 55));  // up to the broken header
  AddGroupCS(c.h, "g");
  SetIdGT(GetGroupCS(c.h, "g"), "a]b");
  EXPECT_FALSE(SaveFileCS(c.h, dir.File("out.cls").c_str()));
  SetErrorNotifyHook(nullptr, nullptr);
  EXPECT_FALSE(LoadFileCS(c.h, missing.c_str()));  // reports only while the hook is set
  Reports expected = {{15, "[feature.c"},   {10004, "Error, section name GROUP.D already used"},
                      {10000, missing},     {10003, "ATTRIBUTE.B"},
                      {10001, "FEATURE.A"}, {10005, "group.a]b: id holds ']', ':' or a line end"}};
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("out.cls")), "");
}

}  // namespace
