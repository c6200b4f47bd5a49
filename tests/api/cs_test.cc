// Tests of the classifier exports (CS, FT, AT, GT, RT) through the public
// header: result widths, the bounded string-out rule, handles, load and save.
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

// Yes/no results: bool rows are one byte, 0/1 rows a full 32-bit value.
static_assert(std::is_same_v<decltype(LoadFileCS(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(LoadMemoryCS(nullptr, "", 0)), bool>);
static_assert(std::is_same_v<decltype(SaveFileCS(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(AddFeatureCS(nullptr, "")), int32_t>);
static_assert(std::is_same_v<decltype(RenameFeatureCS(nullptr, "", "")), int32_t>);
static_assert(std::is_same_v<decltype(EraseFeatureCS(nullptr, "")), int32_t>);
static_assert(std::is_same_v<decltype(AddAttributeCS(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(RenameAttributeCS(nullptr, "", "")), int32_t>);
static_assert(std::is_same_v<decltype(EraseAttributeCS(nullptr, "")), int32_t>);
static_assert(std::is_same_v<decltype(AddGroupCS(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(RenameGroupCS(nullptr, "", "")), bool>);
static_assert(std::is_same_v<decltype(EraseGroupCS(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(AddGraphCS(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(RenameGraphCS(nullptr, "", "")), int32_t>);
static_assert(std::is_same_v<decltype(EraseGraphCS(nullptr, "")), int32_t>);
static_assert(std::is_same_v<decltype(AddAttributeFT(nullptr, "", true)), bool>);
static_assert(std::is_same_v<decltype(ReplaceAttributeFT(nullptr, 0, "", true)), bool>);
static_assert(std::is_same_v<decltype(HasValuesAT(nullptr)), int32_t>);
static_assert(std::is_same_v<decltype(HasLimitsAT(nullptr)), bool>);
static_assert(std::is_same_v<decltype(CheckStringAT(nullptr, "")), bool>);
static_assert(std::is_same_v<decltype(CheckIntAT(nullptr, 0)), bool>);
static_assert(std::is_same_v<decltype(CheckDoubleAT(nullptr, 0.0)), bool>);

// A classifier handle freed at the end of the test.
struct Classify {
  Classify() : h(CreateCS()) {}
  ~Classify() { FreeCS(h); }
  HCS h;
};

TEST(ClassifyApi, StringOutIsABoundedCopy) {
  Classify c;
  ASSERT_NE(c.h, nullptr);
  ASSERT_EQ(AddFeatureCS(c.h, "road"), 1);
  char buffer[8];
  std::memset(buffer, 'x', sizeof(buffer));
  // Shorter text: NUL-padded to the size.
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, buffer, 7), 1);
  EXPECT_EQ(std::memcmp(buffer, "ROAD\0\0\0x", 8), 0);
  // Exactly n bytes: no terminator; n + 1: terminated.
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, buffer, 4), 1);
  EXPECT_EQ(std::memcmp(buffer, "ROADxxxx", 8), 0);
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, buffer, 5), 1);
  EXPECT_STREQ(buffer, "ROAD");
  // Longer text: cut.
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, buffer, 2), 1);
  EXPECT_EQ(std::memcmp(buffer, "ROxxxxxx", 8), 0);
  // Index equal to the count: all NUL.
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(GetFeatureIdCS(c.h, GetFeatureCountCS(c.h), buffer, 8), 1);
  EXPECT_EQ(std::memcmp(buffer, "\0\0\0\0\0\0\0\0", 8), 0);
  // Null buffer: 0, and sizes of 0 or below write nothing.
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, nullptr, 8), 0);
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, buffer, 0), 1);
  EXPECT_EQ(GetFeatureIdCS(c.h, 0, buffer, -5), 1);
  EXPECT_EQ(buffer[0], 'x');
}

TEST(ClassifyApi, CollectionsThroughTheExports) {
  Classify c;
  EXPECT_EQ(AddFeatureCS(c.h, "ROAD"), 1);
  EXPECT_EQ(AddFeatureCS(c.h, "road"), 0);
  HFT road = GetFeatureCS(c.h, "road");
  ASSERT_NE(road, nullptr);
  EXPECT_EQ(GetFeatureCS(c.h, "ROAD"), road);
  EXPECT_EQ(GetFeatureCS(c.h, "none"), nullptr);
  EXPECT_EQ(RenameFeatureCS(c.h, "road", "street"), 1);
  EXPECT_EQ(GetFeatureCS(c.h, "STREET"), road);
  char id[16];
  GetIdFT(road, id, sizeof(id));
  EXPECT_STREQ(id, "STREET");
  EXPECT_EQ(RenameFeatureCS(c.h, "road", "x"), 0);
  EXPECT_EQ(EraseFeatureCS(c.h, "street"), 1);
  EXPECT_EQ(EraseFeatureCS(c.h, "street"), 0);
  EXPECT_EQ(GetFeatureCountCS(c.h), 0);

  EXPECT_TRUE(AddAttributeCS(c.h, "b"));
  EXPECT_TRUE(AddAttributeCS(c.h, "a"));
  EXPECT_FALSE(AddAttributeCS(c.h, "A"));
  EXPECT_EQ(GetAttributeCountCS(c.h), 2);
  GetAttributeIdCS(c.h, 0, id, sizeof(id));
  EXPECT_STREQ(id, "A");
  EXPECT_EQ(RenameAttributeCS(c.h, "a", "c"), 1);
  GetAttributeIdCS(c.h, 1, id, sizeof(id));
  EXPECT_STREQ(id, "C");
  EXPECT_EQ(EraseAttributeCS(c.h, "B"), 1);
  EXPECT_NE(GetAttributeCS(c.h, "c"), nullptr);

  EXPECT_TRUE(AddGroupCS(c.h, "g"));
  EXPECT_TRUE(RenameGroupCS(c.h, "g", "h"));
  EXPECT_FALSE(RenameGroupCS(c.h, "h", "H"));
  GetGroupIdCS(c.h, 0, id, sizeof(id));
  EXPECT_STREQ(id, "H");
  EXPECT_TRUE(EraseGroupCS(c.h, "H"));
  EXPECT_EQ(GetGroupCountCS(c.h), 0);

  EXPECT_TRUE(AddGraphCS(c.h, "line"));
  EXPECT_EQ(RenameGraphCS(c.h, "line", "LINE"), 0);
  EXPECT_NE(GetGraphCS(c.h, "Line"), nullptr);
  GetGraphIdCS(c.h, 0, id, sizeof(id));
  EXPECT_STREQ(id, "LINE");
  EXPECT_EQ(EraseGraphCS(c.h, "line"), 1);
  EXPECT_EQ(GetGraphCountCS(c.h), 0);

  AddFeatureCS(c.h, "f");
  ClearCS(c.h);
  EXPECT_EQ(GetFeatureCountCS(c.h), 0);
  EXPECT_EQ(GetAttributeCountCS(c.h), 0);
  FreeCS(nullptr);
}

// Every text accessor pair reaches its own field: all fields get distinct
// texts first, then each is read back.
template <class H>
struct TextField {
  void(ORVO_CDECL* set)(H, const char*);
  int32_t(ORVO_CDECL* get)(H, char*, int32_t);
};

template <class H, size_t N>
void ExpectFieldsWired(H h, const TextField<H> (&fields)[N]) {
  for (size_t i = 0; i < N; ++i) fields[i].set(h, ("text " + std::to_string(i)).c_str());
  char text[32];
  for (size_t i = 0; i < N; ++i) {
    EXPECT_EQ(fields[i].get(h, text, sizeof(text)), 1);
    EXPECT_EQ(std::string(text), "text " + std::to_string(i)) << "field " << i;
  }
  fields[0].set(h, nullptr);  // null is the empty text
  fields[0].get(h, text, sizeof(text));
  EXPECT_STREQ(text, "");
}

TEST(ClassifyApi, AccessorsReachTheirFields) {
  Classify c;
  AddFeatureCS(c.h, "f");
  AddAttributeCS(c.h, "a");
  AddGroupCS(c.h, "g");
  AddGraphCS(c.h, "r");
  HFT f = GetFeatureCS(c.h, "f");
  HAT a = GetAttributeCS(c.h, "a");
  HGT g = GetGroupCS(c.h, "g");
  HRT r = GetGraphCS(c.h, "r");
  const TextField<HFT> feature[] = {{SetIdFT, GetIdFT}, {SetNameFT, GetNameFT},
                                    {SetName2FT, GetName2FT}, {SetAnnoFT, GetAnnoFT},
                                    {SetGraphIdFT, GetGraphIdFT}};
  const TextField<HAT> attribute[] = {
      {SetIdAT, GetIdAT},     {SetNameAT, GetNameAT},   {SetName2AT, GetName2AT},
      {SetAnnoAT, GetAnnoAT}, {SetDataSubTypeAT, GetDataSubTypeAT},
      {SetUnitAT, GetUnitAT}, {SetMinAT, GetMinAT},     {SetMaxAT, GetMaxAT}};
  const TextField<HGT> group[] = {{SetIdGT, GetIdGT}, {SetAnnoGT, GetAnnoGT}};
  const TextField<HRT> graph[] = {{SetIdRT, GetIdRT}, {SetAnnoRT, GetAnnoRT},
                                  {SetStdSymbolRT, GetStdSymbolRT},
                                  {SetFileSymbolRT, GetFileSymbolRT}};
  ExpectFieldsWired(f, feature);
  ExpectFieldsWired(a, attribute);
  ExpectFieldsWired(g, group);
  ExpectFieldsWired(r, graph);
  // Setting an id re-keys nothing.
  EXPECT_EQ(GetFeatureCS(c.h, "f"), f);
  EXPECT_EQ(GetFeatureCS(c.h, "text 0"), nullptr);

  SetLocalFT(f, 12);
  EXPECT_EQ(GetLocalFT(f), 12);
  SetDataTypeAT(a, 6);
  EXPECT_EQ(GetDataTypeAT(a), 6);
  SetPriorityRT(r, -4);
  SetMinScaleRT(r, 0.5);
  SetMaxScaleRT(r, 1e6);
  EXPECT_EQ(GetPriorityRT(r), -4);
  EXPECT_EQ(GetMinScaleRT(r), 0.5);
  EXPECT_EQ(GetMaxScaleRT(r), 1e6);
  char text[8];
  SetDefaultAT(a, "");
  GetDefaultAT(a, text, sizeof(text));
  EXPECT_STREQ(text, "0");
  ClearDefaultAT(a);
  GetDefaultAT(a, text, sizeof(text));
  EXPECT_STREQ(text, "");
}

TEST(ClassifyApi, FeatureAttributeList) {
  Classify c;
  AddFeatureCS(c.h, "road");
  HFT f = GetFeatureCS(c.h, "road");
  char text[8];
  EXPECT_TRUE(AddAttributeFT(f, "width", true));
  EXPECT_FALSE(AddAttributeFT(f, "WIDTH", false));
  EXPECT_EQ(IsAttributeMustBeFT(f, 0), 0);
  EXPECT_TRUE(AddAttributeFT(f, "lanes", false));
  EXPECT_TRUE(ReplaceAttributeFT(f, 1, "surface", true));
  EXPECT_FALSE(ReplaceAttributeFT(f, 2, "x", true));
  EXPECT_EQ(GetAttributeCountFT(f), 2);
  EraseAttributeFT(f, "Width");
  GetAttributeIdFT(f, 0, text, sizeof(text));
  EXPECT_STREQ(text, "SURFACE");
  std::memset(text, 'x', sizeof(text));
  GetAttributeIdFT(f, 1, text, 4);
  EXPECT_EQ(std::memcmp(text, "\0\0\0\0x", 5), 0);
}

TEST(ClassifyApi, AllowedValuesLimitsAndChecks) {
  Classify c;
  ASSERT_TRUE(AddAttributeCS(c.h, "width"));
  HAT a = GetAttributeCS(c.h, "width");
  char text[40];
  SetDataTypeAT(a, 1);
  EXPECT_EQ(HasValuesAT(a), 0);
  AddValueAT(a, "1", "one");
  AddValueAT(a, "2", "two");
  AddValueAT(a, "", "none");
  EXPECT_EQ(HasValuesAT(a), 1);
  EXPECT_EQ(GetValueCountAT(a), 2);
  SetValueAT(a, 1, "3");
  SetValueAnnoAT(a, 1, "three");
  GetValueAT(a, 1, text, sizeof(text));
  EXPECT_STREQ(text, "3");
  GetValueAnnoAT(a, 1, text, sizeof(text));
  EXPECT_STREQ(text, "three");
  EXPECT_EQ(FindValueIndexAT(a, "03"), 1);
  EXPECT_EQ(FindValueIndexAT(a, "2"), -1);

  SetMinAT(a, "1");
  EXPECT_FALSE(HasLimitsAT(a));
  SetMaxAT(a, "2");
  EXPECT_TRUE(HasLimitsAT(a));
  EXPECT_TRUE(CheckIntAT(a, 1));
  GetReasonAT(a, text, sizeof(text));
  EXPECT_STREQ(text, "");
  EXPECT_FALSE(CheckIntAT(a, 3));
  GetReasonAT(a, text, sizeof(text));
  EXPECT_STREQ(text, "value not in range");
  EXPECT_FALSE(CheckStringAT(a, "2"));
  GetReasonAT(a, text, sizeof(text));
  EXPECT_STREQ(text, "value not in allowed values list");
  EXPECT_TRUE(CheckDoubleAT(a, 1.7));
  ClearMinMaxAT(a);
  EXPECT_FALSE(HasLimitsAT(a));
  EXPECT_TRUE(CheckIntAT(a, 3));

  EraseValueAT(a, 0);
  EXPECT_EQ(GetValueCountAT(a), 1);
  EraseValueAT2(a, "3");
  EXPECT_EQ(GetValueCountAT(a), 0);
  AddValueAT(a, "5", nullptr);
  ClearValuesAT(a);
  EXPECT_EQ(HasValuesAT(a), 0);
  EXPECT_TRUE(CheckStringAT(a, nullptr));
}

TEST(ClassifyApi, LoadCheckAndSave) {
  const char kText[] =
      "[attribute.lanes]\r\nname1=Lanes\r\ntype=int\r\nmin=\"1\"\r\nmax=\"4\"\r\n"
      "value1=\"1\",\"one\"\r\nvalue2=\"2\",\"two\"\r\n"
      "[feature.road]\r\nlocal=LIN\r\nattributes=lanes\r\n";
  Classify c;
  ASSERT_TRUE(LoadMemoryCS(c.h, kText, static_cast<int32_t>(sizeof(kText) - 1)));
  HFT road = GetFeatureCS(c.h, "ROAD");
  ASSERT_NE(road, nullptr);
  char id[16];
  GetAttributeIdFT(road, 0, id, sizeof(id));
  HAT lanes = GetAttributeCS(c.h, id);
  ASSERT_NE(lanes, nullptr);
  EXPECT_TRUE(CheckStringAT(lanes, "2"));
  EXPECT_FALSE(CheckStringAT(lanes, "3"));

  orvotest::TempDir dir;
  std::string path = dir.File("out.cls");
  ASSERT_TRUE(SaveFileCS(c.h, path.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(path),
            "[attribute.LANES]\r\nname1=Lanes\r\nname2=\r\nanno=\"\"\r\ntype=int\r\n"
            "min=\"1\"\r\nmax=\"4\"\r\n\r\nvalue1=\"1\",\"one\"\r\nvalue2=\"2\",\"two\"\r\n"
            "default=\"1\"\r\n\r\n"
            "[feature.ROAD]\r\nname1=\r\nname2=\r\nanno=\"\"\r\ngraph=\r\nlocal=LIN\r\n"
            "attributes=LANES,\r\n\r\n");
  Classify back;
  ASSERT_TRUE(LoadFileCS(back.h, path.c_str()));
  EXPECT_EQ(GetAttributeCountCS(back.h), 1);
  EXPECT_FALSE(LoadFileCS(back.h, dir.File("missing").c_str()));
  EXPECT_EQ(GetAttributeCountCS(back.h), 0);
  EXPECT_FALSE(SaveFileCS(back.h, dir.File("no/dir/x").c_str()));

  // An INI syntax error comes back as 0, not as an exception.
  const char kBad[] = "[group.a]\nanno=1\n[GROUP.A]\nanno=2\n";
  EXPECT_FALSE(LoadMemoryCS(c.h, kBad, static_cast<int32_t>(sizeof(kBad) - 1)));
  EXPECT_EQ(GetFeatureCountCS(c.h), 0);
  EXPECT_EQ(GetGroupCountCS(c.h), 0);
  EXPECT_TRUE(LoadMemoryCS(c.h, "", 0));
}

using Reports = std::vector<std::pair<int32_t, std::string>>;

void ORVO_CDECL Record(int32_t code, const char* text, void* user) {
  static_cast<Reports*>(user)->emplace_back(code, text);
}

TEST(ClassifyApi, FailuresReachTheHostsHook) {
  Reports reports;
  SetErrorNotifyHook(&Record, &reports);
  orvotest::TempDir dir;
  Classify c;
  const char kText[] =
      "[feature.a]\nlocal=pnt\n[attribute.b]\nname1=B\ntype=number\n"
      "[feature.c\n[group.d]\nanno=\"x\"\n[group.d]\n";
  EXPECT_FALSE(LoadMemoryCS(c.h, kText, static_cast<int32_t>(sizeof(kText) - 1)));
  std::string missing = dir.File("missing.cls");
  EXPECT_FALSE(LoadFileCS(c.h, missing.c_str()));
  const char kGood[] = "[feature.a]\nlocal=pnt\n[attribute.b]\nname1=B\ntype=number\n";
  EXPECT_TRUE(LoadMemoryCS(c.h, kGood, static_cast<int32_t>(sizeof(kGood) - 1)));
  AddGroupCS(c.h, "g");
  SetIdGT(GetGroupCS(c.h, "g"), "a]b");
  EXPECT_FALSE(SaveFileCS(c.h, dir.File("out.cls").c_str()));
  SetErrorNotifyHook(nullptr, nullptr);
  Reports expected = {{15, "[feature.c"},
                      {10004, "Error, section name GROUP.D already used"},
                      {10000, missing},
                      {10003, "ATTRIBUTE.B"},
                      {10001, "FEATURE.A"},
                      {10005, "group.a]b: id holds ']', ':' or a line end"}};
  EXPECT_EQ(reports, expected);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("out.cls")), "");
}

}  // namespace
