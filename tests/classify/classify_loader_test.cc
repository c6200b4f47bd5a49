// Tests of loading classifier text from memory and from files.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "base/error_hook.h"
#include "classify/classify.h"
#include "classify/classify_loader.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::TClassify;

// Collects the reports of the error hook while alive.
class RecordingHook : public orvo::IErrorNotify {
 public:
  RecordingHook() { orvo::SetErrorNotify(this); }
  ~RecordingHook() override { orvo::SetErrorNotify(nullptr); }
  void Notify(int32_t code, const char* text) override { reports.emplace_back(code, text); }
  std::vector<std::pair<int32_t, std::string>> reports;
};

using Reports = std::vector<std::pair<int32_t, std::string>>;

enum class Source { kMemory, kFile };

class ClassifyLoaderTest : public testing::TestWithParam<Source> {
 protected:
  bool Load(TClassify& c, const std::string& text) {
    if (GetParam() == Source::kMemory)
      return c.LoadMemory(text.data(), static_cast<int32_t>(text.size()));
    std::string path = dir_.File("test.cls");
    orvotest::WriteFileBytes(path, text);
    return c.LoadFile(path.c_str());
  }

  orvotest::TempDir dir_;
};

TEST_P(ClassifyLoaderTest, FeatureSection) {
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "[feature.road]\r\n"
                   "local=PNT\r\n"
                   "attributes=width, lanes,,WIDTH\r\n"
                   "name1=Road\r\n"
                   "name2= Second \r\n"
                   "anno=\"Main roads, paved\"\r\n"
                   "graph=line\r\n"
                   "[Feature.Path]\r\n"
                   "LOCAL=LINX\r\n"
                   "anno=Main roads, paved\r\n"));
  ASSERT_EQ(c.Features().Count(), 2);
  EXPECT_EQ(c.Features().IdAt(0), "PATH");
  orvo::TFeature* road = c.Features().Get("road");
  ASSERT_NE(road, nullptr);
  EXPECT_EQ(road->Id(), "ROAD");
  EXPECT_EQ(road->Local(), 1);
  ASSERT_EQ(road->AttributeCount(), 2);
  EXPECT_EQ(road->AttributeId(0), "WIDTH");
  EXPECT_EQ(road->AttributeId(1), "LANES");
  EXPECT_EQ(road->Name1(), "Road");
  EXPECT_EQ(road->Name2(), " Second ");
  EXPECT_EQ(road->Anno(), "Main roads, paved");
  EXPECT_EQ(road->GraphId(), "line");
  orvo::TFeature* path = c.Features().Get("path");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->Local(), 2);
  EXPECT_EQ(path->Anno(), "Main roads");  // unquoted: up to the comma
  EXPECT_EQ(path->AttributeCount(), 0);
  EXPECT_EQ(path->GraphId(), "");
}

TEST_P(ClassifyLoaderTest, BadLocalSkipsTheSection) {
  RecordingHook hook;
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "[feature.a]\nlocal=pnt\n"
                   "[feature.b]\nlocal=POINT\n"
                   "[feature.c]\nlocal= PNT\n"
                   "[feature.d]\nname1=no local\n"
                   "[feature.e]\nlocal=PNTX\n"
                   "[feature.f]\nlocal=TXT\n"
                   "[feature.g]\nlocal=RGN\n"));
  EXPECT_EQ(c.Features().Count(), 3);
  EXPECT_EQ(c.Features().Get("e")->Local(), 1);
  EXPECT_EQ(c.Features().Get("f")->Local(), 4);
  EXPECT_EQ(c.Features().Get("g")->Local(), 3);
  Reports expected = {{10001, "FEATURE.A"}, {10001, "FEATURE.B"}, {10001, "FEATURE.C"},
                      {10001, "FEATURE.D"}};
  EXPECT_EQ(hook.reports, expected);
}

TEST_P(ClassifyLoaderTest, AttributeSection) {
  RecordingHook hook;
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "[attribute.width]\r\n"
                   "name1=Width\r\n"
                   "name2=w\r\n"
                   "anno=\"road width\"\r\n"
                   "type=varchar[20]\r\n"
                   "unit=\" m \"\r\n"
                   "default=\"5\"\r\n"
                   "min=\"1\"\r\n"
                   "max=\"9\"\r\n"
                   "value1=\"1\",\"narrow\"\r\n"
                   "value2=  \"9\" , \"wide\"\r\n"
                   "value4=\"7\",\"never read\"\r\n"
                   "[attribute.kind]\r\nname1=Kind\r\ntype= Int[4]\r\nmax=\"10\"\r\n"
                   "[attribute.bad type]\r\nname1=x\r\ntype=number\r\n"
                   "[attribute.no name]\r\nname1=\r\ntype=int\r\n"
                   "[attribute.no type]\r\nname1=x\r\n"
                   "[attribute.quoted]\r\nname1=q\r\ntype=string\r\n"
                   "anno=\"a \\\"b\\\" \\\\ c\"\r\ndefault=\"\"\r\nvalue1=\"\",\"x\"\r\n"
                   "value2=\"open\r\n"));
  ASSERT_EQ(c.Attributes().Count(), 3);
  orvo::TAttribute* width = c.Attributes().Get("WIDTH");
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->Name1(), "Width");
  EXPECT_EQ(width->Name2(), "w");
  EXPECT_EQ(width->Anno(), "road width");
  EXPECT_EQ(width->DataType(), 4);
  EXPECT_EQ(width->DataSubType(), "20");
  EXPECT_EQ(width->Unit(), " m ");
  EXPECT_TRUE(width->HasDefault());
  EXPECT_EQ(width->Default(), "5");
  EXPECT_TRUE(width->HasLimits());
  EXPECT_EQ(width->Min(), "1");
  EXPECT_EQ(width->Max(), "9");
  ASSERT_EQ(width->ValueCount(), 2);
  EXPECT_EQ(width->Value(1), "9");
  EXPECT_EQ(width->ValueAnno(1), "wide");

  orvo::TAttribute* kind = c.Attributes().Get("kind");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->DataType(), 1);
  EXPECT_EQ(kind->DataSubType(), "4");
  EXPECT_FALSE(kind->HasLimits());  // max alone
  EXPECT_EQ(kind->Max(), "10");
  EXPECT_FALSE(kind->HasDefault());
  EXPECT_TRUE(kind->CheckInt(1000));

  orvo::TAttribute* quoted = c.Attributes().Get("quoted");
  ASSERT_NE(quoted, nullptr);
  EXPECT_EQ(quoted->Anno(), "a \"b\" \\ c");
  EXPECT_FALSE(quoted->HasDefault());
  EXPECT_EQ(quoted->ValueCount(), 0);  // empty first field, unterminated quote

  Reports expected = {{10003, "ATTRIBUTE.BAD TYPE"},
                      {10003, "ATTRIBUTE.NO NAME"},
                      {10003, "ATTRIBUTE.NO TYPE"}};
  EXPECT_EQ(hook.reports, expected);
}

TEST_P(ClassifyLoaderTest, GroupAndGraphSections) {
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "[group.Roads]\nanno=\"all roads\"\n"
                   "[graph.line]\nanno=\"thin\"\nfile= sym.lib \nstd=12\n"
                   "priority=5x\nminscale=0.5\nmaxscale=25000.25\n"
                   "[graph.empty]\n"
                   "[graph.other]\npriority=-3\n"));
  ASSERT_EQ(c.Groups().Count(), 1);
  EXPECT_EQ(c.Groups().Get("roads")->Anno(), "all roads");
  // A section without keys leaves no trace.
  ASSERT_EQ(c.Graphs().Count(), 2);
  orvo::TGraph* line = c.Graphs().Get("LINE");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->Anno(), "thin");
  EXPECT_EQ(line->FileSymbol(), " sym.lib ");
  EXPECT_EQ(line->StdSymbol(), "12");
  EXPECT_EQ(line->Priority(), 5);
  EXPECT_EQ(line->MinScale(), 0.5);  // whatever the C locale
  EXPECT_EQ(line->MaxScale(), 25000.25);
  orvo::TGraph* other = c.Graphs().Get("other");
  EXPECT_EQ(other->Priority(), -3);
  EXPECT_EQ(other->MinScale(), 0.0);
  EXPECT_EQ(other->FileSymbol(), "");
}

TEST_P(ClassifyLoaderTest, OtherSectionsAndKeysAreIgnored) {
  TClassify c;
  ASSERT_TRUE(Load(c,
                   "key before any section=1\n"
                   "; comment\n"
                   "[info]\nversion=2\n"
                   "[GRAPHX]\nanno=\"x\"\n"
                   "[FEATURES.X]\nlocal=PNT\n"
                   "[group.g]\nanno=\"g\"\nextra=1\n"));
  EXPECT_EQ(c.Features().Count(), 0);
  EXPECT_EQ(c.Graphs().Count(), 0);
  EXPECT_EQ(c.Groups().Count(), 1);
}

TEST_P(ClassifyLoaderTest, AllLineEndsAreAccepted) {
  for (const char* eol : {"\r\n", "\n", "\r", "\n\r"}) {
    std::string e = eol;
    TClassify c;
    ASSERT_TRUE(Load(c, "[feature.a]" + e + "local=LIN" + e + "anno=\"x\"" + e + e +
                            "[group.b]" + e + "anno=\"y\""));
    ASSERT_NE(c.Features().Get("a"), nullptr);
    EXPECT_EQ(c.Features().Get("a")->Local(), 2);
    EXPECT_EQ(c.Features().Get("a")->Anno(), "x");
    EXPECT_EQ(c.Groups().Get("b")->Anno(), "y");
  }
}

TEST_P(ClassifyLoaderTest, IniErrorLeavesTheClassifierEmpty) {
  TClassify c;
  ASSERT_TRUE(Load(c, "[feature.a]\nlocal=PNT\n"));
  ASSERT_EQ(c.Features().Count(), 1);
  RecordingHook hook;
  EXPECT_FALSE(Load(c, "[feature.b]\nlocal=PNT\n[group.g]\nanno=1\n[Feature.B ]\nlocal=LIN\n"));
  EXPECT_EQ(c.Features().Count(), 0);
  EXPECT_EQ(c.Groups().Count(), 0);
  Reports expected = {{10004, "Error, section name FEATURE.B already used"}};
  EXPECT_EQ(hook.reports, expected);

  hook.reports.clear();
  EXPECT_FALSE(Load(c, "[group.g]\nanno=1\nANNO=2\n"));
  expected = {{10004, "Error, key ANNO already used in section GROUP.G"}};
  EXPECT_EQ(hook.reports, expected);
  hook.reports.clear();
  EXPECT_FALSE(Load(c, "[group.g]\n = 1\n"));
  expected = {{10004, "Error, wrong key format in section GROUP.G"}};
  EXPECT_EQ(hook.reports, expected);
  EXPECT_EQ(c.Groups().Count(), 0);
  // The classifier is usable afterwards.
  EXPECT_TRUE(Load(c, "[group.g]\nanno=1\n"));
  EXPECT_EQ(c.Groups().Count(), 1);
}

TEST_P(ClassifyLoaderTest, BrokenHeaderDropsItsKeysOnly) {
  RecordingHook hook;
  TClassify c;
  ASSERT_TRUE(Load(c, "[feature.a\nlocal=PNT\n[feature.b]\nlocal=PNT\n"));
  EXPECT_EQ(c.Features().Count(), 1);
  EXPECT_NE(c.Features().Get("b"), nullptr);
  ASSERT_EQ(hook.reports.size(), 1u);
  EXPECT_EQ(hook.reports[0].first, 15);
}

TEST_P(ClassifyLoaderTest, DamagedTextNeverCrashes) {
  std::string text =
      "[attribute.w]\nname1=W\ntype=int\nmin=\"1\"\nmax=\"9\"\nvalue1=\"1\",\"a\"\n"
      "[feature.f]\nlocal=PNT\nattributes=w,\n[graph.g]\nmaxscale=1e999\n";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    TClassify c;
    Load(c, text.substr(0, cut));
  }
  for (size_t i = 0; i < text.size(); ++i) {
    for (char flip : {'\0', '[', ']', '=', '"', '\\', '\r', ';', ','}) {
      std::string damaged = text;
      damaged[i] = flip;
      TClassify c;
      Load(c, damaged);
    }
  }
  TClassify c;
  ASSERT_TRUE(Load(c, text));
  EXPECT_EQ(c.Graphs().Get("g")->MaxScale(), HUGE_VAL);
}

INSTANTIATE_TEST_SUITE_P(BothSources, ClassifyLoaderTest,
                         testing::Values(Source::kMemory, Source::kFile),
                         [](const testing::TestParamInfo<Source>& info) {
                           return info.param == Source::kMemory ? "Memory" : "File";
                         });

TEST(ClassifyLoader, EmptyMemoryLoadsNothing) {
  TClassify c;
  c.Features().Add("x");
  EXPECT_TRUE(c.LoadMemory("", 0));
  EXPECT_EQ(c.Features().Count(), 0);
  c.Features().Add("x");
  EXPECT_TRUE(c.LoadMemory(nullptr, 10));
  EXPECT_EQ(c.Features().Count(), 0);
  // The block need not end in NUL; NULs inside end lines.
  const char text[] = {'[', 'g', 'r', 'o', 'u', 'p', '.', 'a', ']', '\0',
                       'a', 'n', 'n', 'o', '=', 'x', '!'};
  EXPECT_TRUE(c.LoadMemory(text, 16));
  EXPECT_EQ(c.Groups().Get("a")->Anno(), "x");
}

TEST(ClassifyLoader, MissingFileReportsThePath) {
  orvotest::TempDir dir;
  std::string path = dir.File("missing.cls");
  RecordingHook hook;
  TClassify c;
  c.Features().Add("x");
  EXPECT_FALSE(c.LoadFile(path.c_str()));
  EXPECT_EQ(c.Features().Count(), 0);
  Reports expected = {{10000, path}};
  EXPECT_EQ(hook.reports, expected);
  EXPECT_FALSE(c.LoadFile(nullptr));
}

}  // namespace
