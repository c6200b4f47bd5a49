// The map passport (properties, load rules, Find's bound) and the token rules
// of loading a selection.
#include "vector/map_passport.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "base/errors.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "vector/binary_spatial_writer.h"
#include "vector/selection.h"
#include "vector/text_spatial_writer.h"

namespace {

using orvo::TMapPassport;
using orvo::TSelection;
using orvotest::ReadFileBytes;
using orvotest::WriteFileBytes;

using Props = std::vector<std::pair<std::string, std::string>>;

Props Properties(const TMapPassport& p) {
  Props out;
  for (int32_t i = 0; i < p.AttributeCount(); ++i) {
    out.emplace_back(p.AttributeKey(i), p.AttributeValue(i));
  }
  return out;
}

using orvotest::Raised;

std::vector<double> Bound(const TMapPassport& p) {
  const BOUND b = p.GetBound();
  return {b.minx, b.miny, b.maxx, b.maxy};
}

TEST(MapPassport, PropertyRulesAndSaveFailures) {
  TMapPassport p;
  ASSERT_TRUE(p.AddAttribute("width", "1"));
  ASSERT_TRUE(p.AddAttribute("colour", "red"));
  ASSERT_TRUE(p.AddAttribute("WIDTH", "2"));  // replaces in place
  EXPECT_EQ(Properties(p), (Props{{"WIDTH", "2"}, {"COLOUR", "red"}}));
  EXPECT_EQ(*p.FindAttribute(" width "), "2");
  EXPECT_EQ(Raised([&] { p.AttributeKey(2); }), "no such passport attribute");

  // The fixed keys, and properties that would not read back, are refused.
  for (const char* key : {"alias", " Bound\t", "", "   ", "a=b", "[head]", ";note", "two\nlines"})
    EXPECT_FALSE(p.AddAttribute(key, "x")) << key;
  EXPECT_FALSE(p.AddAttribute(nullptr, "x"));
  EXPECT_FALSE(p.AddAttribute("k", "two\r\nlines"));
  // "K=" and the value must fit the reader's line of 2046 characters.
  EXPECT_FALSE(p.AddAttribute("k", std::string(2045, 'v').c_str()));
  EXPECT_TRUE(p.AddAttribute("k", std::string(2044, 'v').c_str()));
  EXPECT_EQ(p.AttributeCount(), 3);

  for (const char* key : {"ALIAS", "bound", "height"}) EXPECT_FALSE(p.RemoveAttribute(key));
  EXPECT_TRUE(p.RemoveAttribute(" Colour"));
  EXPECT_FALSE(p.RemoveAttribute("colour"));
  EXPECT_EQ(p.AttributeCount(), 2);
  // Saving: no file name or an overlong line fails.
  orvotest::TempDir dir;
  TMapPassport q;
  EXPECT_EQ(Raised([&] { q.Save(); }), "can't write pasport");
  q.SetFileName(dir.File("map").c_str());
  q.SetAlias(std::string(2041, 'a').c_str());  // "ALIAS=" + 2041 > 2046
  EXPECT_EQ(Raised([&] { q.Save(); }), "can't write pasport");
  // Line ends in the alias are dropped.
  q.SetAlias("two\r\nlines");
  q.Save();
  EXPECT_EQ(ReadFileBytes(dir.File("map.passport")),
            "[COMMON]\r\nALIAS=twolines\r\nBOUND=0,0,0,0\r\n");
}

TEST(MapPassport, LoadRules) {
  orvotest::TempDir dir;
  TMapPassport p;
  // No file, or no COMMON section: false, only the file name changes.
  p.SetAlias("kept");
  EXPECT_FALSE(p.Load(dir.File("none.bspatial").c_str()));
  EXPECT_EQ(p.FileName(), dir.File("none"));
  WriteFileBytes(dir.File("other.passport"), "[OTHER]\r\nALIAS=x\r\n");
  EXPECT_FALSE(p.Load(dir.File("other").c_str()));
  EXPECT_EQ(p.Alias(), "kept");

  // LF and CR line ends, lower-case keys, a partial bound, spaces after
  // commas, values kept as read, file order.
  p.SetBound({1.0, 2.0, 3.0, 4.0});
  ASSERT_TRUE(p.AddAttribute("zone", "old"));
  ASSERT_TRUE(p.AddAttribute("own", "mine"));
  WriteFileBytes(dir.File("lf.passport"),
                 "; made by hand\n[common]\nbound=-1.5, 7\nscale=  1:5000\rZone=new\r");
  ASSERT_TRUE(p.Load(dir.File("lf.x").c_str()));
  EXPECT_EQ(p.Alias(), "kept");                               // no ALIAS line
  EXPECT_EQ(Bound(p), (std::vector<double>{-1.5, 4, 3, 7}));  // normalised: 7 > 4 swaps y
  EXPECT_EQ(Properties(p), (Props{{"ZONE", "new"}, {"OWN", "mine"}, {"SCALE", "  1:5000"}}));

  // An unreadable bound changes nothing; INI syntax errors reach the caller.
  WriteFileBytes(dir.File("bad.passport"), "[COMMON]\r\nBOUND=x,1,2,3\r\n");
  ASSERT_TRUE(p.Load(dir.File("bad").c_str()));
  EXPECT_EQ(p.GetBound().minx, -1.5);
  WriteFileBytes(dir.File("dup.passport"), "[COMMON]\r\nALIAS=a\r\nA=1\r\na=2\r\n");
  EXPECT_THROW(p.Load(dir.File("dup").c_str()), orvo::DataException);
  EXPECT_EQ(p.Alias(), "kept");
}

// Passports that loaded save and load back equal. The bytes came out of
// fuzzing the load-save-load round trip.
TEST(MapPassport, LoadedPassportsSurviveSaveAndLoad) {
  struct Case {
    std::string file;
    Props properties;
  };
  const Case cases[] = {
      // A tab before '[' or ';' makes a key line, not a header or a comment.
      {"[COMMON]\r\n\t[X=1\r\nB=2\r\n", {{"[X", "1"}, {"B", "2"}}},
      {"[COMMON]\r\n\t;X=1\r\nB=2\r\n", {{";X", "1"}, {"B", "2"}}},
      // A header naming COMMON:... is another section: its keys are not ours.
      {"[COMMON]\r\nK=0\r\n[COMMON:SUB]\r\nK=1\r\n", {{"K", "0"}}},
      {"[COMMON]\r\nALIAS=x\r\n[COMMON:A=]\r\nB\r\n", {}},
  };
  orvotest::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFileBytes(dir.File("map.passport"), c.file);
    TMapPassport loaded;
    ASSERT_TRUE(loaded.Load(dir.File("map").c_str()));
    EXPECT_EQ(Properties(loaded), c.properties);
    loaded.Save();
    TMapPassport again;
    ASSERT_TRUE(again.Load(dir.File("map").c_str()));
    EXPECT_EQ(again.Alias(), loaded.Alias());
    EXPECT_EQ(Properties(again), c.properties);
  }
  // The tab is what keeps such a key a key line on disk.
  WriteFileBytes(dir.File("map.passport"), "[COMMON]\r\n\t[X=1\r\n");
  TMapPassport p;
  ASSERT_TRUE(p.Load(dir.File("map").c_str()));
  p.Save();
  EXPECT_EQ(ReadFileBytes(dir.File("map.passport")),
            "[COMMON]\r\nALIAS=\r\nBOUND=0,0,0,0\r\n\t[X=1\r\n");
  // Only COMMON:... sections: no COMMON section of our own.
  WriteFileBytes(dir.File("sub.passport"), "[COMMON:SUB]\r\nK=1\r\n");
  EXPECT_FALSE(p.Load(dir.File("sub").c_str()));
}

// Writes the same small map in the text and the binary form: a point, a line
// and, unless labels_only, a text record far outside them.
void WriteMap(const std::string& base, bool labels_only) {
  const int32_t one[] = {1}, two[] = {2};
  const double point[] = {10.0, 20.0}, line[] = {-5.0, 25.0, 12.5, 21.0}, label[] = {1e3, -1e3};
  orvo::TSpatialWriter text((base + ".spatial").c_str());
  orvo::TBinarySpatialWriter binary((base + ".bspatial").c_str());
  auto add = [&](int32_t id, int32_t kind, const int32_t* counts, const double* xy) {
    text.AddRecord(id, kind, counts, xy, 1, nullptr);
    binary.AddRecord(id, kind, counts, xy, 1, nullptr);
  };
  if (!labels_only) add(1, 1, one, point);
  add(2, 4, one, label);
  if (!labels_only) add(3, 2, two, line);
}

TEST(MapPassport, FindTakesTheBoundOfAllButTextRecordsOrFails) {
  orvotest::TempDir dir;
  WriteMap(dir.File("roads"), false);
  WriteMap(dir.File("labels"), true);
  for (bool binary : {false, true}) {
    SCOPED_TRACE(binary);
    TMapPassport p;
    p.Find(dir.File("roads.passport").c_str(), binary);
    EXPECT_EQ(p.FileName(), dir.File("roads"));
    EXPECT_EQ(p.Alias(), "roads");
    EXPECT_EQ(Bound(p), (std::vector<double>{-5, 20, 12.5, 25}));
    // Only text records: the bound stays.
    p.Find(dir.File("labels").c_str(), binary);
    EXPECT_EQ(Bound(p), (std::vector<double>{-5, 20, 12.5, 25}));
    EXPECT_EQ(p.Alias(), "labels");
  }
  // Missing or damaged files fail and leave the bound as it was.
  TMapPassport p;
  p.SetBound({1.0, 2.0, 3.0, 4.0});
  for (bool binary : {false, true})
    EXPECT_NE(Raised([&] { p.Find(dir.File("none").c_str(), binary); }), "");
  // A good record followed by a damaged one: no partial bound.
  WriteFileBytes(dir.File("bad.spatial"), "PNT 1\r\n1\r\n1\r\n50,60\r\n\r\nLIN 2\r\nxyz\r\n");
  EXPECT_EQ(Raised([&] { p.Find(dir.File("bad").c_str(), false); }), "error in spatial file");
  // Not a binary spatial file.
  WriteFileBytes(dir.File("bad.bspatial"), std::string(100, '\x7f'));
  EXPECT_NE(Raised([&] { p.Find(dir.File("bad").c_str(), true); }), "");
  EXPECT_EQ(Bound(p), (std::vector<double>{1, 2, 3, 4}));
}

// Saving, the merge on load and failures are checked through the SE exports.
TEST(Selection, LoadTakesTheFirstTokenOfEachLine) {
  orvotest::TempDir dir;
  orvotest::WriteFileBytes(dir.File("in.txt"),
                           "12.7\n"          // '.' delimits: 12
                           "5,6,7\r\n"       // first token only: 5
                           "abc\r"           // no digits: 0
                           "\t 42 x\n"       // tab skipped, blank kept, atoi: 42
                           ";9\n"            // leading delimiter skipped: 9
                           "\n\r\n"          // empty lines
                           ".,;\t\n"         // no token
                           "+8\n"            // 8
                           "99999999999\n"   // saturates
                           "-99999999999\n"  // saturates
                               + std::string(2045, ' ') + "7788");  // cut at 2047: 77 and 88
  TSelection s;
  s.Add(1000);
  s.Load(dir.File("in.txt").c_str());
  std::vector<int32_t> want = {INT32_MIN, 0, 5, 8, 9, 12, 42, 77, 88, 1000, INT32_MAX};
  EXPECT_EQ(std::vector<int32_t>(s.Ids().begin(), s.Ids().end()), want);
}

}  // namespace
