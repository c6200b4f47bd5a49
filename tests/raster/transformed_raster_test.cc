// Rasters with their map transform: the bound file's bytes, corners, origin,
// boundary and values at map positions, with and without control points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/holders.h"
#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

template <class T>
using Ptr = orvo::TAutoRelease<T>;

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << i;
}
void ExpectBound(const BOUND& b, const std::vector<double>& want) {
  ExpectNear({b.minx, b.miny, b.maxx, b.maxy}, want);
}

class TransformedRasterTest : public ::testing::Test {
 protected:
  // A 4 x 2 raster of 1-byte pixels covering (0, 0)-(400, 200): pixels of
  // 100 x 100 map units, row 0 at the top.
  void SetUp() override {
    path_ = dir_.File("t.raster");
    ASSERT_TRUE(CreateRaster(path_.c_str(), 4, 2, 4, 2, 1, 0));
    const BOUND bound{0, 0, 400, 200};
    ASSERT_TRUE(WriteRasterBound((path_ + ".corners").c_str(), 4, 2, &bound));
    Ptr<IRaster> r(OpenRaster(path_.c_str(), 1, false));
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->SetPixelBlock(0, 0, 4, 2, "abcdefgh"));
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(TransformedRasterTest, BoundFileHoldsTheCornerPixelCentres) {
  std::string want;
  const double rows[4][4] = {{50, 150, 0, 0}, {350, 150, 3, 0}, {350, 50, 3, 1}, {50, 50, 0, 1}};
  for (const auto& row : rows) {
    for (double v : row) {
      char field[32];
      std::snprintf(field, sizeof(field), "%20.10f ", v);  // the tests run with a comma locale...
      for (char* c = field; *c; ++c)
        if (*c == ',') *c = '.';  // ...the file never has one
      want += field;
    }
    want += "\r\n";
  }
  EXPECT_EQ(ReadFileBytes(path_ + ".corners"), want);
  EXPECT_FALSE(WriteRasterBound(dir_.File("no/such/dir.corners").c_str(), 4, 2, nullptr));
}

TEST_F(TransformedRasterTest, MapPositionsReachPixels) {
  Ptr<ITransformedRaster> t(OpenTransformedRaster(path_.c_str(), false, false));
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->HasTransform());
  double origin[2];
  ASSERT_TRUE(GetRasterOrigin(origin, t.Get()));
  ExpectNear({origin[0], origin[1]}, {50, 150});
  BOUND b;
  ASSERT_TRUE(GetRasterBoundary(&b, t.Get()));
  ExpectBound(b, {50, 50, 350, 150});
  double map[8], pixels[8];
  ASSERT_TRUE(GetTransformationVectors(map, pixels, t.Get()));
  EXPECT_EQ(std::vector<double>(pixels, pixels + 8), (std::vector<double>{0, 0, 3, 0, 3, 1, 0, 1}));
  ExpectNear(std::vector<double>(map, map + 8), {50, 150, 350, 150, 350, 50, 50, 50});
  EXPECT_TRUE(GetTransformationVectors(nullptr, nullptr, t.Get()));

  char v = 0;
  ASSERT_TRUE(GetTransformedRasterValue(&v, t.Get(), 260, 40));  // column 2.1, row 1.1
  EXPECT_EQ(v, 'g');
  // Exactly between columns 1 and 2 and rows 0 and 1: the higher side.
  ASSERT_TRUE(GetTransformedRasterValue(&v, t.Get(), 200, 100));
  EXPECT_EQ(v, 'g');
  EXPECT_FALSE(GetTransformedRasterValue(&v, t.Get(), 1000, 100));  // outside
  ASSERT_TRUE(SetTransformedRasterValue(t.Get(), 60, 140, "Z"));
  ASSERT_TRUE(t->GetPixel(0, 0, &v));
  EXPECT_EQ(v, 'Z');

  Ptr<ITransform> fit(GetRasterTransform(t.Get()));
  ASSERT_TRUE(fit);
  const double pixel[2] = {1.5, 0.5};
  double out[2];
  ASSERT_TRUE(fit->Transform(out, pixel, 1));
  ExpectNear({out[0], out[1]}, {200, 100});

  Ptr<ITransformedRaster> clone(t->Clone(true));
  ASSERT_TRUE(clone);
  EXPECT_FALSE(SetTransformedRasterValue(clone.Get(), 60, 140, "Y"));
}

TEST_F(TransformedRasterTest, WithoutControlPointsThereIsNoTransform) {
  std::remove((path_ + ".corners").c_str());
  Ptr<ITransformedRaster> t(OpenTransformedRaster(path_.c_str(), true, false));
  ASSERT_TRUE(t);
  EXPECT_FALSE(t->HasTransform());
  BOUND b;
  char v;
  double origin[2];
  EXPECT_FALSE(GetRasterBoundary(&b, t.Get()));
  EXPECT_FALSE(GetRasterOrigin(origin, t.Get()));
  EXPECT_FALSE(GetTransformedRasterValue(&v, t.Get(), 60, 140));
  EXPECT_EQ(GetRasterTransform(t.Get()), nullptr);
  EXPECT_TRUE(t->GetPixel(0, 0, &v));  // still a raster
  // Control points written later are picked up on request.
  const BOUND bound{0, 0, 400, 200};
  ASSERT_TRUE(WriteRasterBound((path_ + ".corners").c_str(), 4, 2, &bound));
  EXPECT_TRUE(t->LoadTransform());
  EXPECT_TRUE(GetTransformedRasterValue(&v, t.Get(), 60, 140));

  EXPECT_EQ(OpenTransformedRaster(dir_.File("missing.raster").c_str(), true, false), nullptr);
  EXPECT_FALSE(GetRasterBoundary(&b, nullptr));
  EXPECT_FALSE(GetTransformedRasterValue(&v, nullptr, 0, 0));
}

TEST_F(TransformedRasterTest, GeographicCornersAndRotatedRasters) {
  // Latitude first: the same points with the two map columns swapped.
  WriteFileBytes(path_ + ".corners", "150 50 0 0\r\n150 350 3 0\r\n50 350 3 1\r\n50 50 0 1\r\n");
  Ptr<ITransformedRaster> geo(OpenTransformedRaster(path_.c_str(), true, true));
  ASSERT_TRUE(geo && geo->HasTransform());
  double origin[2];
  ASSERT_TRUE(GetRasterOrigin(origin, geo.Get()));
  ExpectNear({origin[0], origin[1]}, {50, 150});

  // Turned by 90 degrees: column runs north, row runs east.
  WriteFileBytes(path_ + ".corners", "0 0 0 0\n0 30 3 0\n10 30 3 1\n10 0 0 1\n");
  Ptr<ITransformedRaster> turned(OpenTransformedRaster(path_.c_str(), true, false));
  BOUND b;
  ASSERT_TRUE(GetRasterBoundary(&b, turned.Get()));
  ExpectBound(b, {0, 0, 10, 30});
}

}  // namespace
}  // namespace orvotest
