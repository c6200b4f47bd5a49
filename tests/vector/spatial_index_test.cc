// The spatial index: both index files, the id-ordered cursor, damaged files.
#include "vector/spatial_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/vector/spatial_index_files.h"

namespace orvo {
namespace {

using orvotest::IndexEntry;

std::vector<TSpatialIndexEx::SI> Sample() {
  return {IndexEntry(30, 2, 400, 40), IndexEntry(-5, 1, 48, 16), IndexEntry(7, 3, 200, 90),
          IndexEntry(30, 1, 999, 999)};  // a second entry for 30: the first one stays
}

// Every field of an entry, the positions and doubles as they compare.
std::vector<double> Fields(const TSpatialIndexEx::SI& e) {
  return {double(e.id),
          double(e.kind),
          double(e.spatial_position),
          double(e.attribute_position),
          e.bound.minx,
          e.bound.miny,
          e.bound.maxx,
          e.bound.maxy,
          e.value,
          double(e.left_face),
          double(e.right_face),
          double(e.left_edge),
          double(e.right_edge),
          double(e.start_point),
          double(e.end_point)};
}

void ExpectSampleWalk(TSpatialIndexEx& index) {
  EXPECT_EQ(index.Count(), 3u);
  EXPECT_EQ(index.Current(), nullptr);
  std::vector<int32_t> ids;
  while (index.Next()) ids.push_back(index.Current()->id);
  EXPECT_EQ(ids, (std::vector<int32_t>{-5, 7, 30}));
  EXPECT_EQ(index.Current(), nullptr);
  EXPECT_FALSE(index.Next());

  ASSERT_TRUE(index.Find(30));
  EXPECT_EQ(Fields(*index.Current()), Fields(Sample()[0]));  // the first entry for 30
  EXPECT_FALSE(index.Find(8));
  EXPECT_EQ(index.Current()->id, 30);  // unchanged
  ASSERT_TRUE(index.Find(-5));
  ASSERT_TRUE(index.Next());
  EXPECT_EQ(index.Current()->id, 7);
  index.Reset();
  ASSERT_TRUE(index.Next());
  EXPECT_EQ(index.Current()->id, -5);
  // The union of every entry's bound, the duplicate's included.
  const auto& b = index.Bound();
  EXPECT_EQ(std::vector<double>({b.minx, b.miny, b.maxx, b.maxy}),
            std::vector<double>({-5, -10, 30.5, 60.25}));
}

TEST(SpatialIndex, LoadsBinaryIndex) {
  orvotest::TempDir dir;
  orvotest::WriteFileBytes(dir.File("a.bindex"), orvotest::BinaryIndexBytes(Sample()));
  TSpatialIndexEx index;
  ASSERT_TRUE(index.LoadBinary(dir.File("a.bindex").c_str()));
  ExpectSampleWalk(index);
}

TEST(SpatialIndex, LoadsTextIndex) {
  orvotest::TempDir dir;
  std::string text = "junk line\r\n" + orvotest::TextIndexBytes(Sample()) + "1,2,3\n";
  orvotest::WriteFileBytes(dir.File("a.index"), text);
  TSpatialIndexEx index;
  ASSERT_TRUE(index.LoadText(dir.File("a.index").c_str()));
  ExpectSampleWalk(index);
  ASSERT_TRUE(index.Find(7));
  EXPECT_DOUBLE_EQ(index.Current()->value, 7 / 3.0);  // 16 significant digits
}

TEST(SpatialIndex, TextLinesConvertByTheScanRules) {
  TSpatialIndexEx::SI e;
  ASSERT_TRUE(ParseIndexLine("12,2,100,200,1.5,2.5,3.5,4.5,0.25", &e));
  EXPECT_EQ(Fields(e),
            (std::vector<double>{12, 2, 100, 200, 1.5, 2.5, 3.5, 4.5, 0.25, 0, 0, 0, 0, 0, 0}));
  // Links convert up to the first that does not; the rest stay 0.
  ASSERT_TRUE(ParseIndexLine("12,2,100,200,1,2,3,4,5,6,7,8,x,10,11", &e));
  EXPECT_EQ(Fields(e), (std::vector<double>{12, 2, 100, 200, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0}));
  ASSERT_TRUE(ParseIndexLine(" 0x10, 010,  5000000000,-1, -1e3,+2,inf,4, 5,1,2,3,4,5,6\r\n", &e));
  EXPECT_EQ(Fields(e), (std::vector<double>{16, 8, 5000000000, -1, -1000, 2, HUGE_VAL, 4, 5, 1, 2,
                                            3, 4, 5, 6}));
  for (const char* bad : {"12,2,100,200,1,2,3,4", "12 ,2,100,200,1,2,3,4,5",  // ',' at once
                          "12,2,100,200,1,2,x,4,5", "", ";12,2,100,200,1,2,3,4,5"}) {
    EXPECT_FALSE(ParseIndexLine(bad, &e)) << bad;
  }
}

TEST(SpatialIndex, BadFilesLoadNothing) {
  orvotest::TempDir dir;
  std::string good = orvotest::BinaryIndexBytes(Sample());
  TSpatialIndexEx index;
  EXPECT_FALSE(index.LoadBinary(dir.File("none.bindex").c_str()));
  EXPECT_FALSE(index.LoadText(dir.File("none.index").c_str()));

  std::string bad_signature = good;
  bad_signature[18] = 'S';
  orvotest::WriteFileBytes(dir.File("a.bindex"), bad_signature);
  EXPECT_FALSE(index.LoadBinary(dir.File("a.bindex").c_str()));
  EXPECT_EQ(index.Count(), 0u);

  orvotest::WriteFileBytes(dir.File("a.bindex"), good + "x");
  EXPECT_FALSE(index.LoadBinary(dir.File("a.bindex").c_str()));
  orvotest::WriteFileBytes(dir.File("a.bindex"), good.substr(0, 40));
  EXPECT_FALSE(index.LoadBinary(dir.File("a.bindex").c_str()));

  // A partial entry at the end, counted in the stored size, is not an entry.
  std::string partial = good + std::string(40, '\7');
  int64_t size = static_cast<int64_t>(partial.size());
  std::memcpy(&partial[0], &size, 8);
  orvotest::WriteFileBytes(dir.File("a.bindex"), partial);
  ASSERT_TRUE(index.LoadBinary(dir.File("a.bindex").c_str()));
  EXPECT_EQ(index.Count(), 3u);

  // A failed load leaves the index empty, also after a good one.
  orvotest::WriteFileBytes(dir.File("a.bindex"), bad_signature);
  EXPECT_FALSE(index.LoadBinary(dir.File("a.bindex").c_str()));
  EXPECT_EQ(index.Count(), 0u);
  EXPECT_FALSE(index.Next());

  orvotest::WriteFileBytes(dir.File("empty.index"), "");
  EXPECT_TRUE(index.LoadText(dir.File("empty.index").c_str()));
  EXPECT_EQ(index.Count(), 0u);
  EXPECT_EQ(index.Bound().maxx, 0.0);
}

}  // namespace
}  // namespace orvo
