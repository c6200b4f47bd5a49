// Tests of the classifier's collections, a feature's attribute list and the
// id index behind the lookups.
#include "classify/classify.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/id_index.h"

namespace {

using orvo::TClassify;

TEST(Classify, IdsAreCaseInsensitiveAndListedInByteOrder) {
  TClassify c;
  for (const char* id : {"B", "a", "C", "A_", "A1"}) EXPECT_TRUE(c.Attributes().Add(id));
  EXPECT_FALSE(c.Attributes().Add("b"));
  EXPECT_EQ(c.Attributes().Get("c")->Id(), "C");
  const char* expected[] = {"A", "A1", "A_", "B", "C", ""};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(c.Attributes().IdAt(i), expected[i]);
  EXPECT_EQ(c.Attributes().IdAt(-1), "");
  // Non-ASCII bytes are neither folded nor reordered as signed.
  EXPECT_TRUE(c.Attributes().Add("\xe4x"));
  EXPECT_EQ(c.Attributes().IdAt(5), "\xe4X");
  EXPECT_EQ(c.Attributes().Get("\xc4X"), nullptr);
  // Every kind has its own collection.
  EXPECT_TRUE(c.Groups().Add("g"));
  EXPECT_TRUE(c.Graphs().Add("g"));
  EXPECT_EQ(c.Graphs().Get("G")->Id(), "G");
  EXPECT_EQ(c.Features().Count(), 0);
}

TEST(Classify, LookupsFollowEveryChange) {
  TClassify c;
  const std::string long_id(100, 'x');  // longer than the lookup's fold buffer
  EXPECT_TRUE(c.Features().Add(long_id));
  EXPECT_NE(c.Features().Get(std::string(100, 'X')), nullptr);
  EXPECT_TRUE(c.Features().Rename(long_id, "short"));
  EXPECT_EQ(c.Features().Get(long_id), nullptr);
  EXPECT_TRUE(c.Features().Rename("short", long_id + "y"));
  EXPECT_NE(c.Features().Get(long_id + "Y"), nullptr);
  EXPECT_EQ(c.Features().Get("short"), nullptr);
  for (int i = 0; i < 200; ++i) c.Features().Add("f" + std::to_string(i));
  for (int i = 0; i < 200; i += 2) EXPECT_TRUE(c.Features().Erase("F" + std::to_string(i)));
  for (int i = 0; i < 200; ++i)
    EXPECT_EQ(c.Features().Get("f" + std::to_string(i)) != nullptr, i % 2 == 1) << i;
  c.Clear();
  EXPECT_EQ(c.Features().Get("f1"), nullptr);
  EXPECT_EQ(c.Features().IdAt(0), "");
  EXPECT_TRUE(c.Features().Add("f1"));
  EXPECT_NE(c.Features().Get("F1"), nullptr);
}

TEST(Classify, RenameKeepsTheObjectAndSetIdDoesNotRekey) {
  TClassify c;
  c.Graphs().Add("a");
  c.Graphs().Add("b");
  orvo::TGraph* a = c.Graphs().Get("a");
  a->SetPriority(7);
  EXPECT_EQ(c.Graphs().IdAt(0), "A");         // key list built before the rename
  EXPECT_FALSE(c.Graphs().Rename("A", "a"));  // new key exists
  EXPECT_FALSE(c.Graphs().Rename("missing", "x"));
  EXPECT_TRUE(c.Graphs().Rename("a", "z"));
  EXPECT_EQ(c.Graphs().Get("Z"), a);
  EXPECT_EQ(a->Id(), "Z");
  EXPECT_EQ(a->Priority(), 7);
  EXPECT_EQ(c.Graphs().IdAt(1), "Z");

  a->SetId("OTHER");
  EXPECT_EQ(c.Graphs().Get("OTHER"), nullptr);
  EXPECT_EQ(c.Graphs().Get("z"), a);
  EXPECT_EQ(c.Graphs().IdAt(1), "Z");
}

TEST(Classify, EraseLeavesReferencesAlone) {
  TClassify c;
  c.Features().Add("road");
  c.Attributes().Add("width");
  orvo::TFeature* road = c.Features().Get("road");
  road->AddAttribute("width", false);
  EXPECT_FALSE(c.Attributes().Erase("nothing"));
  EXPECT_TRUE(c.Attributes().Erase("Width"));
  EXPECT_EQ(road->AttributeId(0), "WIDTH");
  EXPECT_EQ(c.Attributes().IdAt(0), "");
}

TEST(Feature, AttributeListHoldsUpperCasedIdsOnce) {
  orvo::TFeature f("ROAD");
  EXPECT_TRUE(f.AddAttribute("width", true));
  EXPECT_FALSE(f.AddAttribute("WIDTH", false));
  EXPECT_TRUE(f.AddAttribute("lanes", false));
  EXPECT_EQ(f.AttributeId(2), "");
  EXPECT_FALSE(f.IsAttributeMustBe(0));
  EXPECT_FALSE(f.ReplaceAttribute(0, "Lanes", false));  // listed elsewhere
  EXPECT_FALSE(f.ReplaceAttribute(2, "surface", false));
  EXPECT_FALSE(f.ReplaceAttribute(-1, "surface", false));
  EXPECT_FALSE(f.ReplaceAttribute(0, "width", false));  // listed at that very place
  EXPECT_TRUE(f.ReplaceAttribute(0, "surface", false));
  f.EraseAttribute("nothing");
  f.EraseAttribute("lanes");
  ASSERT_EQ(f.AttributeCount(), 1);
  EXPECT_EQ(f.AttributeId(0), "SURFACE");
}

// Entries survive the erasure of their neighbours in a probe run, and growth
// keeps every entry.
TEST(IdIndex, FindsExactlyTheEntriesLeftAfterErasures) {
  std::vector<std::string> keys;
  for (int i = 0; i < 2000; ++i) keys.push_back("FEATURE" + std::to_string(i));
  std::vector<int> objects(keys.size());
  orvo::TIdIndex<int> index;
  for (size_t i = 0; i < keys.size(); ++i) index.Insert(keys[i], &objects[i]);
  for (size_t i = 0; i < keys.size(); i += 3) index.Erase(keys[i]);
  index.Erase("NOT THERE");
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(index.Find(keys[i]), i % 3 == 0 ? nullptr : &objects[i]) << keys[i];
  }
  for (size_t i = 0; i < keys.size(); i += 3) index.Insert(keys[i], &objects[i]);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(index.Find(keys[i]), &objects[i]);
  EXPECT_EQ(index.Find("FEATURE"), nullptr);
  index.Clear();
  EXPECT_EQ(index.Find(keys[1]), nullptr);
}

// Folding lookups upper-case ASCII letters only, also past the bytes a slot
// keeps of its key.
TEST(IdIndex, FoldingFindsUpperCasedKeysOnly) {
  const std::string keys[] = {"ROAD", "ATTRIBUTE.LONG-NAME.A", "ATTRIBUTE.LONG-NAME.B", "X\xE4@[",
                              "12345678"};
  int objects[5] = {};
  orvo::TIdIndex<int> index;
  for (int i = 0; i < 5; ++i) index.Insert(keys[i], &objects[i]);
  EXPECT_EQ(index.FindFolding("rOaD"), &objects[0]);
  EXPECT_EQ(index.Find("road"), nullptr);
  EXPECT_EQ(index.FindFolding("attribute.long-name.b"), &objects[2]);
  EXPECT_EQ(index.FindFolding("attribute.long-name.c"), nullptr);
  EXPECT_EQ(index.FindFolding("attribute.long-name."), nullptr);
  EXPECT_EQ(index.FindFolding("x\xE4@["), &objects[3]);
  // Neither bytes above 127 nor the neighbours of the letters fold.
  EXPECT_EQ(index.FindFolding("x\xC4@["), nullptr);
  EXPECT_EQ(index.FindFolding("x\xE4`{"), nullptr);
  EXPECT_EQ(index.FindFolding("12345678"), &objects[4]);
  EXPECT_EQ(index.FindFolding(std::string_view("12345678\0", 9)), nullptr);
}

}  // namespace
