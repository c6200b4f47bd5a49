// The spatial index: both index files, the id-ordered cursor, damaged files.
#include "vector/spatial_index.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/vector/spatial_index_files.h"

namespace orvo {
namespace {

using orvotest::IndexEntry;

std::vector<TSpatialIndexEx::SI> Sample() {
  return {IndexEntry(30, 2, 400, 40), IndexEntry(-5, 1, 48, 16), IndexEntry(7, 3, 200, 90),
          IndexEntry(30, 1, 999, 999)};  // a second entry for 30: the first one stays
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
  const TSpatialIndexEx::SI* e = index.Current();
  EXPECT_EQ(e->spatial_position, 400);
  EXPECT_EQ(e->attribute_position, 40);
  EXPECT_EQ(e->kind, 2);
  EXPECT_EQ(e->bound.maxy, 60.25);
  EXPECT_EQ(e->value, 10.0);
  EXPECT_EQ(e->left_face, 130);
  EXPECT_EQ(e->right_face, 230);
  EXPECT_EQ(e->left_edge, 330);
  EXPECT_EQ(e->right_edge, 430);
  EXPECT_EQ(e->start_point, 530);
  EXPECT_EQ(e->end_point, 630);
  EXPECT_FALSE(index.Find(8));
  EXPECT_EQ(index.Current()->id, 30);  // unchanged
  ASSERT_TRUE(index.Find(-5));
  ASSERT_TRUE(index.Next());
  EXPECT_EQ(index.Current()->id, 7);
  index.Reset();
  ASSERT_TRUE(index.Next());
  EXPECT_EQ(index.Current()->id, -5);

  // The union of every entry's bound, the duplicate's included.
  EXPECT_EQ(index.Bound().minx, -5.0);
  EXPECT_EQ(index.Bound().miny, -10.0);
  EXPECT_EQ(index.Bound().maxx, 30.5);
  EXPECT_EQ(index.Bound().maxy, 60.25);
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
  EXPECT_EQ(e.id, 12);
  EXPECT_EQ(e.attribute_position, 200);
  EXPECT_EQ(e.bound.maxy, 4.5);
  EXPECT_EQ(e.value, 0.25);
  EXPECT_EQ(e.left_face, 0);
  EXPECT_EQ(e.end_point, 0);

  ASSERT_TRUE(ParseIndexLine("12,2,100,200,1,2,3,4,5,6,7,8,x,10,11", &e));
  EXPECT_EQ(e.left_face, 6);
  EXPECT_EQ(e.right_face, 7);
  EXPECT_EQ(e.left_edge, 8);
  EXPECT_EQ(e.right_edge, 0);  // did not convert, nor did anything after it
  EXPECT_EQ(e.end_point, 0);

  ASSERT_TRUE(ParseIndexLine(" 0x10, 010,  5000000000,-1, -1e3,+2,inf,4, 5,1,2,3,4,5,6\r\n", &e));
  EXPECT_EQ(e.id, 16);
  EXPECT_EQ(e.kind, 8);
  EXPECT_EQ(e.spatial_position, 5000000000);
  EXPECT_EQ(e.attribute_position, -1);
  EXPECT_EQ(e.bound.minx, -1000.0);
  EXPECT_EQ(e.bound.miny, 2.0);
  EXPECT_EQ(e.end_point, 6);

  EXPECT_FALSE(ParseIndexLine("12,2,100,200,1,2,3,4", &e));
  EXPECT_FALSE(ParseIndexLine("12 ,2,100,200,1,2,3,4,5", &e));  // ',' must follow at once
  EXPECT_FALSE(ParseIndexLine("12,2,100,200,1,2,x,4,5", &e));
  EXPECT_FALSE(ParseIndexLine("", &e));
  EXPECT_FALSE(ParseIndexLine(";12,2,100,200,1,2,3,4,5", &e));
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
