// Coordinate arrays: exact bytes of the file, the reading rules, index bounds
// and the CreateCoords export.
#include "transform/coords.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "base/holders.h"
#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::TAutoRelease;
using Points = std::vector<std::vector<double>>;

Points PointsOf(ICoords* c) {
  Points out;
  for (int32_t i = 0; i < c->GetCount(); ++i)
    out.emplace_back(c->GetPoint(i), c->GetPoint(i) + c->GetDimension());
  return out;
}

TEST(Coords, SaveWritesFixedFieldsWithCrLf) {
  orvotest::TempDir dir;
  TAutoRelease<ICoords> c(new orvo::TCoords(3));
  const double a[] = {1.5, -0.5, 0.99999999999};
  const double b[] = {1e12, -0.0, 0.12345678904};
  c->AddPoint(a);
  c->AddPoint(b);
  std::string file = dir.File("p.txt");
  ASSERT_TRUE(c->Save(file.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(file),
            "        1.5000000000        -0.5000000000         1.0000000000 \r\n"
            "1000000000000.0000000000        -0.0000000000         0.1234567890 \r\n");
  // Reading the file back gives the written values.
  TAutoRelease<ICoords> back(new orvo::TCoords(3));
  ASSERT_TRUE(back->Load(file.c_str()));
  EXPECT_EQ(PointsOf(back.Get()), (Points{{1.5, -0.5, 1.0}, {1e12, -0.0, 0.123456789}}));
}

#ifndef _WIN32
// glibc's printf rounds exactly; the fields must agree with it digit for digit
// (the comma of the test program's locale aside).
TEST(Coords, FieldsAgreeWithPrintf) {
  orvo::TCoords c(1);
  uint64_t state = 12345;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    double v = static_cast<double>(static_cast<int64_t>(state >> 11) - (int64_t{1} << 52)) /
               static_cast<double>(uint64_t{1} << (state % 60));
    c.AddPoint(&v);
    char field[400];
    std::snprintf(field, sizeof field, "%20.10f \r\n", v);
    expected += field;
  }
  for (char& ch : expected)
    if (ch == ',') ch = '.';
  EXPECT_EQ(c.Format(), expected);
}
#endif

TEST(Coords, LoadRules) {
  const std::string long_blank(700, ' ');
  const std::string long_number = std::string(600, '0') + "2.5";
  struct Case {
    const char* name;
    std::string text;
    bool ok;
    Points points;
  } cases[] = {
      {"crlf with heading",
       "x y col row\r\n1 2 3 4\r\n5.5 6 7 8\r\n",
       true,
       {{1, 2, 3, 4}, {5.5, 6, 7, 8}}},
      {"lf", "1 2 3 4\n\n-1 -2 -3 -4\n", true, {{1, 2, 3, 4}, {-1, -2, -3, -4}}},
      {"cr, no final end", "1 2 3 4\r\t5\t6 7 8", true, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
      {"six values keep four", "1 2 3 4 5 6\n", true, {{1, 2, 3, 4}}},
      {"words after the values", "1 2 3 4 corner\n", true, {{1, 2, 3, 4}}},
      {"exponent and dot", "1e3 -.5 0.25 7\n", true, {{1000, -0.5, 0.25, 7}}},
      {"decimal comma is not read", "1,5 2 3 4\n", true, {{1, 2, 3, 4}}},
      {"longer than a read chunk",
       long_blank + "1 " + long_number + " 3 4\n",
       true,
       {{1, 2.5, 3, 4}}},
      {"empty file", "", true, {}},
      {"short line stops, earlier points stay",
       "1 2 3 4\n12.5 7\n5 6 7 8\n",
       false,
       {{1, 2, 3, 4}}},
      {"leading plus ends the values", "1 2 +3 4\n", false, {}},
      {"word inside the values", "1 2 x 3 4\n", false, {}},
  };
  orvotest::TempDir dir;
  for (const Case& k : cases) {
    std::string file = dir.File("in.txt");
    orvotest::WriteFileBytes(file, k.text);
    TAutoRelease<ICoords> c(new orvo::TCoords(4));
    EXPECT_EQ(c->Load(file.c_str()), k.ok) << k.name;
    EXPECT_EQ(PointsOf(c.Get()), k.points) << k.name;
  }
}

TEST(Coords, IndexesOutsideTheArrayAreRefused) {
  orvo::TCoords c(2);
  const double p[] = {1, 2}, q[] = {3, 4}, r[] = {5, 6};
  EXPECT_EQ(c.AddPoint(p), 0);
  EXPECT_EQ(c.AddPoint(q), 1);
  EXPECT_EQ(c.AddPoint(r), 2);
  EXPECT_EQ(c.AddPoint(nullptr), -1);
  double* last = c.GetPoint(2);
  EXPECT_TRUE(c.DeletePoint(1));
  EXPECT_EQ(c.GetPoint(1), last);  // other points do not move
  EXPECT_EQ(c.GetValue(1, 1), 6.0);
  for (auto [index, component] : {std::pair{2, 0}, {-1, 0}, {0, 2}, {0, -1}})
    EXPECT_EQ(c.GetValue(index, component), 0.0) << index << "," << component;
  EXPECT_EQ(c.GetPoint(2), nullptr);
  EXPECT_EQ(c.GetPoint(-1), nullptr);
  EXPECT_FALSE(c.DeletePoint(2));
  EXPECT_FALSE(c.DeletePoint(-1));
  c.Clear();
  EXPECT_EQ(c.GetCount(), 0);
  EXPECT_EQ(c.GetDimension(), 2);
}

TEST(Coords, UnopenableFilesGiveFalseAndCreateGivesNull) {
  orvotest::TempDir dir;
  orvo::TCoords c(4);
  EXPECT_FALSE(c.Load(dir.File("missing.txt").c_str()));
  EXPECT_FALSE(c.Load(nullptr));
  EXPECT_FALSE(c.Save(dir.File("no/dir/p.txt").c_str()));
  EXPECT_FALSE(c.Save(nullptr));

  EXPECT_EQ(CreateCoords(dir.File("missing.txt").c_str(), 4), nullptr);
  EXPECT_EQ(CreateCoords(nullptr, 0), nullptr);
  std::string shrt = dir.File("short.txt");
  orvotest::WriteFileBytes(shrt, "12.5 7\n");
  EXPECT_EQ(CreateCoords(shrt.c_str(), 4), nullptr);
  EXPECT_NE(TAutoRelease<ICoords>(CreateCoords(shrt.c_str(), 2)).Get(), nullptr);

  ICoords* fresh = CreateCoords(nullptr, 3);
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->GetDimension(), 3);
  EXPECT_EQ(fresh->GetCount(), 0);
  fresh->Release();
}

}  // namespace
