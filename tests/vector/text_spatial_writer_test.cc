// The text spatial writer: exact bytes, positions, bound and refusals.
#include "vector/text_spatial_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "tests/vector/vector_test_util.h"
#include "vector/text_spatial_reader.h"

namespace orvo {
namespace {

using orvotest::Raised;

const int32_t kOne[] = {1};
const double kPoint[] = {5, 6};

TEST(TextSpatialWriter, WritesTheExactText) {
  orvotest::TempDir dir;
  std::string name = dir.File("layer.spatial");
  std::vector<int64_t> positions;
  {
    TSpatialWriter w(name.c_str());
    const int32_t one[] = {2}, two[] = {1, 2};
    const double line[] = {10, 20, 11.5, 20};
    const double xy[] = {0.1, -2.5e-7, 1e17, 3, 123456.78901234567, -0.0};
    const double z[] = {100, 0.30000000000000004, -1};
    positions.push_back(w.AddRecord(7, 2, one, line, 1, nullptr));
    positions.push_back(w.AddRecord(-8, 11, two, xy, 2, z));
    // Each id is its kind; 14 is written MIX.
    for (int32_t kind : {14, 4, 13, 0}) {
      positions.push_back(w.AddRecord(kind == 0 ? 12 : kind, kind, kOne, kPoint, 1, nullptr));
    }
  }
  const std::string records[] = {"LIN 7\r\n1\r\n2\r\n10,20\r\n11.5,20\r\n\r\n",
                                 "PNT -8\r\n2\r\n1\r\n0.1,-2.5e-07,100\r\n2\r\n1e+17,3,0.3\r\n"
                                 "123456.7890123457,-0,-1\r\n\r\n",
                                 "MIX 14\r\n1\r\n1\r\n5,6\r\n\r\n",
                                 "TXT 4\r\n1\r\n1\r\n5,6\r\n\r\n",
                                 "RGN 13\r\n1\r\n1\r\n5,6\r\n\r\n",
                                 "MIX 12\r\n1\r\n1\r\n5,6\r\n\r\n"};
  std::string expected;
  for (size_t i = 0; i < positions.size(); ++i) {
    EXPECT_EQ(positions[i], static_cast<int64_t>(expected.size())) << i;
    expected += records[i];
  }
  EXPECT_EQ(orvotest::ReadFileBytes(name), expected);
}

TEST(TextSpatialWriter, EmptyFileAndRunningBound) {
  orvotest::TempDir dir;
  std::string name = dir.File("layer.spatial");
  { TSpatialWriter w(name.c_str()); }
  EXPECT_EQ(orvotest::ReadFileBytes(name), "");
  TSpatialWriter w(name.c_str());
  auto bound = [&] {
    const auto& b = w.GetBound();
    return std::vector<double>{b.minx, b.miny, b.maxx, b.maxy};
  };
  EXPECT_EQ(bound(), (std::vector<double>{0, 0, 0, 0}));
  const int32_t counts[] = {2};
  const double a[] = {5, 6, 7, 1}, b[] = {-3, 10, 4, 4};
  w.AddRecord(1, 2, counts, a, 1, nullptr);
  EXPECT_EQ(bound(), (std::vector<double>{5, 1, 7, 6}));
  w.AddRecord(2, 2, counts, b, 1, nullptr);
  EXPECT_EQ(bound(), (std::vector<double>{-3, 1, 7, 10}));
}

TEST(TextSpatialWriter, RefusedRecordsWriteNothingAndLaterRecordsReadBack) {
  orvotest::TempDir dir;
  std::string name = dir.File("layer.spatial");
  {
    TSpatialWriter w(name.c_str());
    const int32_t counts[] = {1, 0};
    for (int32_t vectors : {0, 2}) {
      EXPECT_EQ(Raised([&] { w.AddRecord(1, 1, counts, kPoint, vectors, nullptr); }),
                std::string("bad spatial record"))
          << vectors;
    }
    EXPECT_EQ(w.AddRecord(5, 1, counts, kPoint, 1, nullptr), 0);
  }
  TSpatialReader r(name.c_str());
  EXPECT_EQ(orvotest::RestIds(r), std::vector<int32_t>{5});
}

TEST(TextSpatialWriter, LargeRecordsRoundTrip) {
  orvotest::TempDir dir;
  std::string name = dir.File("layer.spatial");
  const int32_t n = 20000;  // more text than one formatting piece
  std::vector<double> xy(2 * n), z(n);
  for (int32_t i = 0; i < n; ++i) {
    xy[2 * i] = i * 0.1;
    xy[2 * i + 1] = -i / 3.0;
    z[i] = i;
  }
  const int32_t counts[] = {n / 2, n / 2};
  {
    TSpatialWriter w(name.c_str());
    EXPECT_EQ(w.AddRecord(3, 3, counts, xy.data(), 2, z.data()), 0);
  }
  TSpatialReader r(name.c_str());
  ASSERT_TRUE(r.ReadNext());
  ASSERT_EQ(r.GetVertexCount(), n);
  EXPECT_EQ(r.GetLocal3D(), 13);
  EXPECT_EQ(r.GetVectorPos()[1], n / 2);
  for (int32_t i = 0; i < 2 * n; ++i) {
    // 16 significant digits: exact for these values once rounded back.
    ASSERT_NEAR(r.GetMetric()[i], xy[i], 1e-15 * (1 + std::abs(xy[i]))) << i;
  }
  EXPECT_EQ(r.GetZ()[n - 1], n - 1);
}

}  // namespace
}  // namespace orvo
