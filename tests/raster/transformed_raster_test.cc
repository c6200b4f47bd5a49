// Rasters with their map transform, and DEM heights: blends, edges, the seam, failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
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
  // 4 x 2 1-byte pixels of 100 x 100 map units over (0, 0)-(400, 200), row 0 on top.
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

TEST_F(TransformedRasterTest, BoundFileHoldsTheCornerPixelCentresAndMapPositionsReachPixelsOrNone) {
  // Fields of 20 places with a dot, whatever the locale (the tests run with a comma one).
  EXPECT_EQ(
      ReadFileBytes(path_ + ".corners"),
      "       50.0000000000       150.0000000000         0.0000000000         0.0000000000 \r\n"
      "      350.0000000000       150.0000000000         3.0000000000         0.0000000000 \r\n"
      "      350.0000000000        50.0000000000         3.0000000000         1.0000000000 \r\n"
      "       50.0000000000        50.0000000000         0.0000000000         1.0000000000 \r\n");
  EXPECT_FALSE(WriteRasterBound(dir_.File("no/such/dir.corners").c_str(), 4, 2, nullptr));

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
  EXPECT_TRUE(GetTransformationVectors(nullptr, nullptr, t.Get()));

  char v = 0;
  const auto value = [&](double x, double y) {  // '?' when there is none
    return GetTransformedRasterValue(&v, t.Get(), x, y) ? v : '?';
  };
  EXPECT_EQ(value(260, 40), 'g');    // column 2.1, row 1.1
  EXPECT_EQ(value(200, 100), 'g');   // between columns 1 and 2, rows 0 and 1: the higher side
  EXPECT_EQ(value(1000, 100), '?');  // outside
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

  // Turned by 90 degrees (column runs north, row runs east): bounded by all corners.
  WriteFileBytes(path_ + ".corners", "0 0 0 0\n0 30 3 0\n10 30 3 1\n10 0 0 1\n");
  Ptr<ITransformedRaster> turned(OpenTransformedRaster(path_.c_str(), true, false));
  ASSERT_TRUE(GetRasterBoundary(&b, turned.Get()));
  ExpectBound(b, {0, 0, 10, 30});

  // Without control points there is no transform, but still a raster.
  std::remove((path_ + ".corners").c_str());
  t = Ptr<ITransformedRaster>(OpenTransformedRaster(path_.c_str(), true, false));
  ASSERT_TRUE(t);
  EXPECT_FALSE(t->HasTransform());
  EXPECT_FALSE(GetRasterBoundary(&b, t.Get()));
  EXPECT_FALSE(GetRasterOrigin(origin, t.Get()));
  EXPECT_EQ(value(60, 140), '?');
  EXPECT_EQ(GetRasterTransform(t.Get()), nullptr);
  EXPECT_TRUE(t->GetPixel(0, 0, &v));
  // Control points written later are picked up on request.
  const BOUND bound{0, 0, 400, 200};
  ASSERT_TRUE(WriteRasterBound((path_ + ".corners").c_str(), 4, 2, &bound));
  EXPECT_TRUE(t->LoadTransform());
  EXPECT_EQ(value(60, 140), 'Z');

  EXPECT_EQ(OpenTransformedRaster(dir_.File("missing.raster").c_str(), true, false), nullptr);
  EXPECT_FALSE(GetRasterBoundary(&b, nullptr));
  EXPECT_FALSE(GetTransformedRasterValue(&v, nullptr, 0, 0));
}

constexpr double kNoData = 9999.0;

// A DEM whose pixel (c, r) lies at (10 c + 5, 10 (height - 1 - r) + 5).
std::string MakeDem(const TempDir& dir, const char* name, int32_t width, int32_t height,
                    const std::vector<int16_t>& samples, int32_t tile = 8) {
  const std::string path = dir.File(name);
  EXPECT_TRUE(CreateRaster(path.c_str(), width, height, tile, tile, 2, 0));
  const BOUND bound{0, 0, 10.0 * width, 10.0 * height};
  EXPECT_TRUE(WriteRasterBound((path + ".corners").c_str(), width, height, &bound));
  orvo::TAutoRelease<IRaster> r(OpenRaster(path.c_str(), 1, false));
  EXPECT_TRUE(r && r->SetPixelBlock(0, 0, width, height, samples.data()));
  return path;
}

// The map position of pixel position (px, py) of a DEM of the given height.
double MapX(double px) { return 10 * px + 5; }
double MapY(double py, int32_t height) { return 10 * (height - 1 - py) + 5; }

class DemTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(DemTest, WorkedBlendsAndABilinearReferenceAcrossTiles) {
  struct Case {
    const char* what;
    std::vector<int16_t> samples;  // top left, top right, bottom left, bottom right
    double px, py, want;
  };
  const Case cases[] = {
      {"missing top right", {100, 9999, 300, 400}, 0.5, 0.5, 225},
      {"9998 is height 0", {9998, 100, 9998, 100}, 0.5, 0.5, 50},
      {"missing reads as its partner", {9999, 100, 300, 9999}, 0.25, 0.5, 200},
      {"all missing", {9999, 9999, 9999, 9999}, 0.5, 0.5, kNoData},
      {"one sample left", {9999, 9999, 9999, 40}, 0.1, 0.9, 40},
      {"above 9998 is missing", {12000, 100, 100, 100}, 0.5, 0.5, 100},
      {"negative heights", {-100, -300, -100, -300}, 0.75, 0.2, -250},
      {"on a sample", {100, 200, 300, 400}, 1, 1, 400},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = "four" + std::to_string(n++) + ".raster";
    const std::string path = MakeDem(dir_, name.c_str(), 2, 2, c.samples);
    ITransformedRaster* dem = OpenDem(path.c_str());
    ASSERT_NE(dem, nullptr);
    EXPECT_NEAR(DemHeight(dem, MapX(c.px), MapY(c.py, 2)), c.want, 1e-9);
    CloseDem(dem);
  }

  // 37 x 23 samples in 8 x 8 tiles: blocks cross tile edges in both ways.
  const int32_t W = 37, H = 23;
  std::vector<int16_t> s(W * H);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> height(-500, 9000);
  for (auto& v : s) v = static_cast<int16_t>(height(rng));
  ITransformedRaster* dem = OpenDem(MakeDem(dir_, "dem.raster", W, H, s).c_str());
  ASSERT_NE(dem, nullptr);
  const auto at = [&](int c, int r) { return static_cast<double>(s[r * W + c]); };
  std::uniform_real_distribution<double> col(0, W - 1), row(0, H - 1);
  for (int i = 0; i < 2000; ++i) {
    const double px = col(rng), py = row(rng);
    const int c = std::min(static_cast<int>(px), W - 2), r = std::min(static_cast<int>(py), H - 2);
    const double u = px - c, v = py - r;
    const double want = (1 - u) * (1 - v) * at(c, r) + u * (1 - v) * at(c + 1, r) +
                        (1 - u) * v * at(c, r + 1) + u * v * at(c + 1, r + 1);
    ASSERT_NEAR(DemHeight(dem, MapX(px), MapY(py, H)), want, 1e-6) << px << ", " << py;
    // Inside the raster the wrapped fetch reads the same block.
    ASSERT_NEAR(WrappedDemHeight(dem, MapX(px), MapY(py, H)), want, 1e-6);
  }
  CloseDem(dem);
}

TEST_F(DemTest, EdgesOfTheRasterAndTheSeam) {
  // w's last column sits alone in its tile.
  ITransformedRaster* e =
      OpenDem(MakeDem(dir_, "e.raster", 3, 2, {10, 20, 30, 40, 50, 60}).c_str());
  const std::vector<int16_t> s = {100, 1, 2, 3, 500,  //
                                  200, 1, 2, 3, 600,  //
                                  300, 1, 2, 3, 9998};
  ITransformedRaster* w = OpenDem(MakeDem(dir_, "w.raster", 5, 3, s, 2).c_str());
  ASSERT_TRUE(e != nullptr && w != nullptr);
  struct Case {
    ITransformedRaster* dem;
    bool wrapped;
    double px, py, want;
  };
  const Case cases[] = {
      {e, false, -0.5, 0, 10},       // left of column 0: the missing neighbour is replaced
      {e, false, -0.5, 0.5, 25},     // ... and rows still blend
      {e, false, 2.5, 1, 60},        // right of the last column
      {e, false, 1, -0.5, 20},       // above row 0
      {e, false, 1, 1.75, 50},       // below the last row
      {e, false, -1.5, 0, kNoData},  // a whole pixel out: the block lies on no tile
      {e, false, 3.25, 0, kNoData},
      {e, false, 1e9, 1e9, kNoData},
      {e, false, -1e300, 0, kNoData},  // beyond any pixel index
      {w, true, 4.5, 0, 300},          // between the last column and the first
      {w, true, -0.5, 0, 300},         // the same place from the other side
      {w, true, 4.25, 0.5, 450},
      {w, true, 4.5, 1.5, 0.5 * 400 + 0.5 * 150},  // 9998 reads as 0
      {w, true, 9.5, 0, 300},                      // one turn further east
      {w, true, -5.5, 0, 300},                     // one turn west
      {w, true, 5 * 1000 + 1.5, 1, 1.5},
      {w, true, 5 * 1000 + 1.5, -0.5, 1.5},  // rows do not wrap: the row above is missing
      {w, true, 4.5, 3.5, kNoData},          // below the last row
      {w, true, 0, -1.5, kNoData},
      {w, false, 4.5, 0, 500},  // without wrapping the seam has one side only
      {w, false, 9.5, 0, kNoData},
  };
  for (const Case& c : cases) {
    const double x = MapX(c.px), y = MapY(c.py, c.dem->GetHeight());
    EXPECT_NEAR(c.wrapped ? WrappedDemHeight(c.dem, x, y) : DemHeight(c.dem, x, y), c.want, 1e-9)
        << (c.dem == e ? "e " : "w ") << c.wrapped << " " << c.px << ", " << c.py;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(DemHeight(e, nan, 5), kNoData);
  EXPECT_EQ(WrappedDemHeight(e, 5, nan), kNoData);
  EXPECT_EQ(WrappedDemHeight(e, nan, 5), kNoData);
  EXPECT_EQ(WrappedDemHeight(e, std::numeric_limits<double>::infinity(), 5), kNoData);
  CloseDem(e);
  CloseDem(w);
}

TEST_F(DemTest, FailurePaths) {
  EXPECT_EQ(OpenDem(nullptr), nullptr);
  EXPECT_EQ(OpenDem(dir_.File("missing.raster").c_str()), nullptr);
  EXPECT_EQ(DemHeight(nullptr, 0, 0), kNoData);
  EXPECT_EQ(WrappedDemHeight(nullptr, 0, 0), kNoData);
  CloseDem(nullptr);

  // No control points: no transform, no DEM.
  const std::string bare = MakeDem(dir_, "bare.raster", 2, 2, {1, 2, 3, 4});
  std::remove((bare + ".corners").c_str());
  EXPECT_EQ(OpenDem(bare.c_str()), nullptr);

  // Pixels of 1 and 4 bytes are no DEM.
  const BOUND bound{0, 0, 20, 20};
  for (int32_t pixel_size : {1, 4}) {
    const std::string path = dir_.File("p" + std::to_string(pixel_size) + ".raster");
    ASSERT_TRUE(CreateRaster(path.c_str(), 2, 2, 2, 2, pixel_size, 0));
    ASSERT_TRUE(WriteRasterBound((path + ".corners").c_str(), 2, 2, &bound));
    EXPECT_EQ(OpenDem(path.c_str()), nullptr);
    // Handed in as a DEM anyway, it is not read into 2-byte samples.
    ITransformedRaster* t = OpenTransformedRaster(path.c_str(), true, false);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(DemHeight(t, 10, 10), kNoData);
    EXPECT_EQ(WrappedDemHeight(t, 10, 10), kNoData);
    t->Release();
  }

  // CloseDem gives back one reference: a DEM held twice outlives it.
  const std::string path = MakeDem(dir_, "live.raster", 2, 2, {1, 2, 3, 4});
  ITransformedRaster* dem = OpenDem(path.c_str());
  ASSERT_NE(dem, nullptr);
  dem->AddRef();
  EXPECT_EQ(dem->AddRef(), 2);
  CloseDem(dem);
  EXPECT_NEAR(DemHeight(dem, MapX(0), MapY(0, 2)), 1, 1e-9);
  CloseDem(dem);
}

}  // namespace
}  // namespace orvotest
