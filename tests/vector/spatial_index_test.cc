// The spatial index: both index files, the id-ordered cursor, damaged files.
#include "vector/spatial_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/vector/spatial_index_files.h"
#include "tests/vector/vector_test_util.h"

namespace orvo {
namespace {

using orvotest::IndexEntry;
using orvotest::WriteFileBytes;

std::vector<TSpatialIndexEx::SI> Sample() {
  return {IndexEntry(30, 2, 400, 40), IndexEntry(-5, 1, 48, 16), IndexEntry(7, 3, 200, 90),
          IndexEntry(30, 1, 999, 999)};  // a second entry for 30: the first one stays
}

// Every field of an entry in file order, as doubles.
std::vector<double> Fields(const TSpatialIndexEx::SI& e) {
  std::vector<double> v = {double(e.id), double(e.kind), double(e.spatial_position),
                           double(e.attribute_position)};
  for (double d : {e.bound.minx, e.bound.miny, e.bound.maxx, e.bound.maxy, e.value}) v.push_back(d);
  for (int32_t link :
       {e.left_face, e.right_face, e.left_edge, e.right_edge, e.start_point, e.end_point})
    v.push_back(link);
  return v;
}

// The id-ordered walk and jumps are checked through the SR exports; here the
// loading itself.
TEST(SpatialIndex, LoadsBothFilesKeepingTheFirstEntryOfAnIdAndBadFilesNothing) {
  orvotest::TempDir dir;
  WriteFileBytes(dir.File("a.bindex"), orvotest::BinaryIndexBytes(Sample()));
  // Lines that do not convert are skipped.
  WriteFileBytes(dir.File("a.index"),
                 "junk line\r\n" + orvotest::TextIndexBytes(Sample()) + "1,2,3\n");
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary);
    TSpatialIndexEx index;
    ASSERT_TRUE(binary ? index.LoadBinary(dir.File("a.bindex").c_str())
                       : index.LoadText(dir.File("a.index").c_str()));
    EXPECT_EQ(index.Count(), 3u);
    ASSERT_TRUE(index.Find(30));
    EXPECT_EQ(Fields(*index.Current()), Fields(Sample()[0]));  // the first entry for 30
    ASSERT_TRUE(index.Find(7));
    EXPECT_DOUBLE_EQ(index.Current()->value, 7 / 3.0);  // 16 significant digits in text
    // The union of every entry's bound, the duplicate's included.
    const auto& b = index.Bound();
    EXPECT_EQ(std::vector<double>({b.minx, b.miny, b.maxx, b.maxy}),
              std::vector<double>({-5, -10, 30.5, 60.25}));
  }
  const std::string good = orvotest::BinaryIndexBytes(Sample()), path = dir.File("a.bindex");
  TSpatialIndexEx index;
  EXPECT_FALSE(index.LoadBinary(dir.File("none.bindex").c_str()));
  EXPECT_FALSE(index.LoadText(dir.File("none.index").c_str()));
  std::string bad_signature = good;
  bad_signature[18] = 'S';
  // A partial entry at the end, counted in the stored size, is not an entry.
  std::string partial = good + std::string(40, '\7');
  orvotest::Patch64(partial, 0, static_cast<int64_t>(partial.size()));
  // A failed load leaves the index empty, also after a good one.
  for (auto [bytes, count] : {std::pair{bad_signature, 0},
                              {good + "x", 0},
                              {partial, 3},
                              {good.substr(0, 40), 0},
                              {bad_signature, 0}}) {
    WriteFileBytes(path, bytes);
    EXPECT_EQ(index.LoadBinary(path.c_str()), count != 0) << bytes.size();
    EXPECT_EQ(index.Count(), static_cast<size_t>(count)) << bytes.size();
  }
  EXPECT_FALSE(index.Next());

  WriteFileBytes(dir.File("empty.index"), "");
  EXPECT_TRUE(index.LoadText(dir.File("empty.index").c_str()));
  EXPECT_EQ(index.Count(), 0u);
  EXPECT_EQ(index.Bound().maxx, 0.0);
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

}  // namespace
}  // namespace orvo
