// Saving a classifier: exact bytes, round trips, what cannot be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error_hook.h"
#include "classify/classify.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::TClassify;

using orvotest::RecordingHook;

// A classifier with every kind of line, and texts with quotes, backslashes,
// commas and line ends.
void Fill(TClassify& c) {
  c.Attributes().Add("width");
  orvo::TAttribute* w = c.Attributes().Get("width");
  w->SetName1("say \"hi\" \\ there\r\n");
  w->SetAnno("a \"quoted\" \\ text,\nnext");
  w->SetDataType(4);
  w->SetDataSubType("20");
  w->SetUnit(" m ");
  w->SetDefault("5");
  w->SetMin(" 1");
  w->SetMax("9 ");
  w->AddValue("1", "ann\\o");
  w->AddValue("9", "with, comma");
  c.Attributes().Add("lanes");
  orvo::TAttribute* l = c.Attributes().Get("lanes");
  l->SetName1("Lanes");
  l->SetName2("n");
  l->SetDataType(1);
  l->SetMax("4");  // one limit: not written
  l->AddValue("2", "");
  l->AddValue("1", "one");

  c.Features().Add("road");
  orvo::TFeature* road = c.Features().Get("road");
  road->SetName1("Road");
  road->SetGraphId("LINE");
  road->SetLocal(11);
  road->AddAttribute("width", false);
  road->AddAttribute("lanes", false);
  c.Features().Add("path");
  orvo::TFeature* path = c.Features().Get("path");
  path->SetName1("=;[x]");
  path->SetName2("footway");
  path->SetAnno("\\");
  path->SetGraphId("line");
  path->SetLocal(2);

  c.Graphs().Add("line");
  orvo::TGraph* line = c.Graphs().Get("line");
  line->SetAnno("thin");
  line->SetFileSymbol(" sym.lib ");
  line->SetStdSymbol("12");
  line->SetPriority(5);
  line->SetMinScale(0.5);
  line->SetMaxScale(5000);
  c.Graphs().Add("area");
  c.Groups().Add("g");
  c.Groups().Get("g")->SetAnno("grp");
}

const char kExpected[] =
    "[attribute.LANES]\r\n"
    "name1=Lanes\r\n"
    "name2=n\r\n"
    "anno=\"\"\r\n"
    "type=int\r\n"
    "\r\n"
    "value1=\"2\",\"\"\r\n"
    "value2=\"1\",\"one\"\r\n"
    "default=\"2\"\r\n"
    "\r\n"
    "[attribute.WIDTH]\r\n"
    "name1=say \"hi\" \\ there\r\n"
    "name2=\r\n"
    "anno=\"a \\\"quoted\\\" \\\\ text,next\"\r\n"
    "type=varchar[20]\r\n"
    "unit=\"m\"\r\n"
    "default=\"5\"\r\n"
    "min=\"1\"\r\n"
    "max=\"9\"\r\n"
    "\r\n"
    "value1=\"1\",\"ann\\\\o\"\r\n"
    "value2=\"9\",\"with, comma\"\r\n"
    "\r\n"
    "[feature.PATH]\r\n"
    "name1==;[x]\r\n"
    "name2=footway\r\n"
    "anno=\"\\\\\"\r\n"
    "graph=line\r\n"
    "local=LIN\r\n"
    "attributes=\r\n"
    "\r\n"
    "[graph.LINE]\r\n"
    "anno=\"thin\"\r\n"
    "file=sym.lib\r\n"
    "std=12\r\n"
    "priority=5\r\n"
    "minscale=0.500000\r\n"
    "maxscale=5000.000000\r\n"
    "\r\n"
    "[feature.ROAD]\r\n"
    "name1=Road\r\n"
    "name2=\r\n"
    "anno=\"\"\r\n"
    "graph=LINE\r\n"
    "local=PNT\r\n"
    "attributes=WIDTH,LANES,\r\n"
    "\r\n"
    "[graph.AREA]\r\n"
    "anno=\"\"\r\n"
    "\r\n"
    "[group.G]\r\n"
    "anno=\"grp\"\r\n"
    "\r\n";

TEST(ClassifyWriter, WritesTheExactFormatWithCrLf) {
  orvotest::TempDir dir;
  std::string path = dir.File("out.cls");
  TClassify c;
  Fill(c);
  ASSERT_TRUE(c.SaveFile(path.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(path), kExpected);

  // It reads back with the documented changes (a lone limit is dropped, the
  // first value becomes the default, local 11 is PNT, texts are trimmed);
  // from then on a round trip changes nothing, the loaded default now written
  // before the values.
  TClassify back;
  ASSERT_TRUE(back.LoadFile(path.c_str()));
  std::string again = dir.File("again.cls");
  ASSERT_TRUE(back.SaveFile(again.c_str()));
  std::string expected = kExpected;
  expected.replace(expected.find("type=int\r\n\r\n"), 10, "type=int\r\ndefault=\"2\"\r\n");
  expected.erase(expected.find("default=\"2\"\r\n\r\n[attribute.WIDTH]"), 13);
  EXPECT_EQ(orvotest::ReadFileBytes(again), expected);
  TClassify third;
  ASSERT_TRUE(third.LoadFile(again.c_str()));
  ASSERT_TRUE(third.SaveFile(again.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(again), expected);
}

TEST(ClassifyWriter, RefusesWhatWouldNotLoadBack) {
  orvotest::TempDir dir;
  std::string path = dir.File("keep.cls");
  struct Case {
    const char* what;
    void (*damage)(TClassify&);
    const char* report;
  };
  const Case cases[] = {
      {"bracket", [](TClassify& c) { c.Groups().Get("g")->SetId("a]b"); },
       "group.a]b: id holds ']', ':' or a line end"},
      {"colon", [](TClassify& c) { c.Graphs().Get("line")->SetId("a:b"); },
       "graph.a:b: id holds ']', ':' or a line end"},
      {"line end", [](TClassify& c) { c.Features().Get("road")->SetId("a\nb"); },
       "feature.a\nb: id holds ']', ':' or a line end"},
      {"same id", [](TClassify& c) { c.Features().Get("road")->SetId(" path "); },
       "feature.path: id written twice"},
      {"list separator", [](TClassify& c) { c.Features().Get("road")->AddAttribute("a b", false); },
       "feature.ROAD: attribute id 'A B' is empty or holds a list separator"},
      {"empty list id", [](TClassify& c) { c.Features().Get("path")->AddAttribute("", false); },
       "feature.PATH: attribute id '' is empty or holds a list separator"},
      {"long line",
       [](TClassify& c) { c.Attributes().Get("width")->SetName2(std::string(2041, 'x')); },
       "attribute.WIDTH: line longer than 2046 characters"},
  };
  for (const Case& k : cases) {
    RecordingHook hook;
    orvotest::WriteFileBytes(path, "previous");
    TClassify c;
    Fill(c);
    k.damage(c);
    EXPECT_FALSE(c.SaveFile(path.c_str())) << k.what;
    EXPECT_EQ(orvotest::ReadFileBytes(path), "previous") << k.what;
    EXPECT_EQ(hook.reports, (decltype(hook.reports){{10005, k.report}})) << k.what;
  }
  // The longest line the reader takes whole is accepted.
  TClassify c;
  Fill(c);
  c.Attributes().Get("width")->SetName2(std::string(2046 - 6, 'x'));
  ASSERT_TRUE(c.SaveFile(path.c_str()));
  TClassify back;
  ASSERT_TRUE(back.LoadFile(path.c_str()));
  EXPECT_EQ(back.Attributes().Get("width")->Name2(), std::string(2040, 'x'));
}

TEST(ClassifyWriter, UnknownTypeScalesEmptyClassifierAndBadPaths) {
  orvotest::TempDir dir;
  std::string path = dir.File("types.cls");
  TClassify c;
  c.Attributes().Add("a");
  c.Attributes().Get("a")->SetName1("A");
  c.Attributes().Get("a")->SetDataType(42);
  c.Graphs().Add("g");
  c.Graphs().Get("g")->SetMinScale(1.0 / 3.0);
  c.Graphs().Get("g")->SetMaxScale(-2.5);
  ASSERT_TRUE(c.SaveFile(path.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(path),
            "[attribute.A]\r\nname1=A\r\nname2=\r\nanno=\"\"\r\ntype=string\r\n\r\n"
            "[graph.G]\r\nanno=\"\"\r\nminscale=0.333333\r\nmaxscale=-2.500000\r\n\r\n");
  TClassify back;
  ASSERT_TRUE(back.LoadFile(path.c_str()));
  EXPECT_EQ(back.Attributes().Get("a")->DataType(), 5);

  EXPECT_FALSE(c.SaveFile(dir.File("no/such/dir/x.cls").c_str()));
  EXPECT_FALSE(c.SaveFile(dir.path().c_str()));
  EXPECT_FALSE(c.SaveFile(nullptr));
  // An empty classifier replaces the old file with an empty one.
  TClassify empty;
  ASSERT_TRUE(empty.SaveFile(path.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(path), "");
}

}  // namespace
