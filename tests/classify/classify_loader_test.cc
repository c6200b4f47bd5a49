// Loading classifier text.
#include "classify/classify_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "base/error_hook.h"
#include "classify/classify.h"
#include "tests/support/raised.h"

namespace {

using orvo::TClassify;

using orvotest::RecordingHook;

using Reports = std::vector<std::pair<int32_t, std::string>>;

// Both sources share the parsing; the INI tests read every text from both.
bool Load(TClassify& c, const std::string& text) {
  return c.LoadMemory(text.data(), static_cast<int32_t>(text.size()));
}

// Fields read plainly are covered by the writer's round trip; these are the
// reading rules of their own.
TEST(ClassifyLoader, FeatureAndAttributeSectionsAndBadOnes) {
  RecordingHook hook;
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "[feature.road]\nlocal=PNTX\nattributes=width, lanes,,WIDTH\n"
                   "name2= Second \nanno=Main roads, paved\n"
                   "[feature.a]\nlocal=pnt\n[feature.b]\nlocal=POINT\n[feature.c]\nlocal= PNT\n"
                   "[feature.d]\nname1=no local\n[feature.g]\nlocal=RGN \n[feature.t]\nlocal=TXT\n"
                   "[attribute.width]\nname1=W\ntype= Int[4]\nmax=\"10\"\n"
                   "value1=  \"9\" , \"wide\"\nvalue3=\"7\",\"never read\"\n"
                   "[attribute.bad type]\nname1=x\ntype=number\n"
                   "[attribute.no name]\nname1=\ntype=int\n"
                   "[attribute.no type]\nname1=x\n"
                   "[attribute.quoted]\nname1=q\ntype=string\n"
                   "default=\"\"\nvalue1=\"\",\"x\"\nvalue2=\"open\n"));
  ASSERT_EQ(c.Features().Count(), 3);
  orvo::TFeature* road = c.Features().Get("road");
  EXPECT_EQ(road->Local(), 1);
  EXPECT_EQ(road->AttributeIds(), (std::vector<std::string>{"WIDTH", "LANES"}));
  EXPECT_EQ(road->Name2(), " Second ");
  EXPECT_EQ(road->Anno(), "Main roads");  // unquoted: up to the comma
  EXPECT_EQ(c.Features().Get("g")->Local(), 3);
  EXPECT_EQ(c.Features().Get("t")->Local(), 4);
  ASSERT_EQ(c.Attributes().Count(), 2);
  orvo::TAttribute* width = c.Attributes().Get("WIDTH");
  EXPECT_EQ(width->DataType(), 1);
  EXPECT_EQ(width->DataSubType(), "4");
  EXPECT_FALSE(width->HasLimits());  // max alone
  EXPECT_EQ(width->Max(), "10");
  ASSERT_EQ(width->ValueCount(), 1);
  EXPECT_EQ(width->Value(0) + width->ValueAnno(0), "9wide");
  orvo::TAttribute* quoted = c.Attributes().Get("quoted");
  EXPECT_FALSE(quoted->HasDefault());
  EXPECT_EQ(quoted->ValueCount(), 0);  // empty first field, unterminated quote
  // Attribute sections are read before feature sections.
  Reports expected = {{10003, "ATTRIBUTE.BAD TYPE"}, {10003, "ATTRIBUTE.NO NAME"},
                      {10003, "ATTRIBUTE.NO TYPE"},  {10001, "FEATURE.A"},
                      {10001, "FEATURE.B"},          {10001, "FEATURE.C"},
                      {10001, "FEATURE.D"}};
  EXPECT_EQ(hook.reports, expected);
}

TEST(ClassifyLoader, GraphNumbersEmptyAndIgnoredSections) {
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "key before any section=1\n[info]\nversion=2\n[GRAPHX]\nanno=\"x\"\n"
                   "[FEATURES.X]\nlocal=PNT\n[group.g]\nanno=\"g\"\nextra=1\n"
                   "[graph.line]\npriority=5x\nmaxscale=25000.25\n[graph.empty]\n[graph.big]\n"
                   "minscale=1e999\n"));
  EXPECT_EQ(c.Features().Count(), 0);
  EXPECT_EQ(c.Groups().Count(), 1);
  // A section without keys leaves no trace.
  ASSERT_EQ(c.Graphs().Count(), 2);
  EXPECT_EQ(c.Graphs().Get("big")->MinScale(), HUGE_VAL);
  EXPECT_EQ(c.Graphs().Get("line")->Priority(), 5);
  EXPECT_EQ(c.Graphs().Get("line")->MaxScale(), 25000.25);  // whatever the C locale
}

// INI syntax errors and missing files are checked through the CS exports.
TEST(ClassifyLoader, EmptyOrNulFilledMemoryAndNullFileName) {
  TClassify c;
  c.Features().Add("x");
  EXPECT_TRUE(c.LoadMemory(nullptr, 10));
  EXPECT_EQ(c.Features().Count(), 0);
  // The block need not end in NUL; NULs inside end lines.
  const char text[] = {'[',  'g', 'r', 'o', 'u', 'p', '.', 'a', ']',
                       '\0', 'a', 'n', 'n', 'o', '=', 'x', '!'};
  EXPECT_TRUE(c.LoadMemory(text, 16));
  EXPECT_EQ(c.Groups().Get("a")->Anno(), "x");
  EXPECT_FALSE(c.LoadFile(nullptr));
}

}  // namespace
