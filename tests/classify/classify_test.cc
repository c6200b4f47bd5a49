// The classifier's collections and their id lookups.
#include "classify/classify.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using orvo::TClassify;

// Separate collections per kind are checked through the CS exports.
TEST(Classify, IdsAreCaseInsensitiveListedInByteOrderAndRenamedInPlace) {
  TClassify c;
  for (const char* id : {"B", "a", "C", "A_", "A1", "\xe4x"}) EXPECT_TRUE(c.Attributes().Add(id));
  EXPECT_FALSE(c.Attributes().Add("b"));
  // Non-ASCII bytes are neither folded nor ordered as signed.
  const char* expected[] = {"A", "A1", "A_", "B", "C", "\xe4X", ""};
  for (int32_t i = -1; i < 7; ++i) EXPECT_EQ(c.Attributes().IdAt(i), expected[i < 0 ? 6 : i]);
  EXPECT_EQ(c.Attributes().Get("\xc4X"), nullptr);
  // Neither are the neighbours of the letters.
  EXPECT_TRUE(c.Attributes().Add("@["));
  EXPECT_EQ(c.Attributes().Get("`{"), nullptr);
  // A rename keeps the object and moves it in the listing.
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
  // Entries survive the erasure of their neighbours in a probe run, and growth
  // keeps every entry.
  for (int i = 0; i < 2000; ++i) c.Features().Add("f" + std::to_string(i));
  for (int i = 0; i < 2000; i += 3) EXPECT_TRUE(c.Features().Erase("F" + std::to_string(i)));
  for (int i = 0; i < 2000; ++i)
    ASSERT_EQ(c.Features().Get("f" + std::to_string(i)) != nullptr, i % 3 != 0) << i;
  for (int i = 0; i < 2000; i += 3) c.Features().Add("f" + std::to_string(i));
  for (int i = 0; i < 2000; ++i) ASSERT_NE(c.Features().Get("F" + std::to_string(i)), nullptr);
  // Keys alike in the bytes a slot keeps of them.
  c.Features().Add("attribute.long-name.a");
  EXPECT_EQ(c.Features().Get("ATTRIBUTE.LONG-NAME.C"), nullptr);
  EXPECT_EQ(c.Features().Get("attribute.long-name."), nullptr);
  c.Clear();
  EXPECT_EQ(c.Features().Get("f1"), nullptr);
  EXPECT_EQ(c.Features().IdAt(0), "");
  EXPECT_TRUE(c.Features().Add("f1"));
  EXPECT_NE(c.Features().Get("F1"), nullptr);
}

}  // namespace
