// DEM heights through the exports: the worked blends, an independent bilinear
// reference over a tiled DEM with a scaled, flipped transform, the wrapped
// fetch across the east-west seam and every failure path.
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

constexpr double kNoData = 9999.0;

// A DEM of width x height 16-bit samples (row-major) whose pixel (c, r) lies
// at map position (10 c + 5, 10 (height - 1 - r) + 5): pixels 10 map units
// wide, row 0 at the top.
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

TEST_F(DemTest, WorkedBlendsOfFourSamples) {
  struct Case {
    const char* what;
    std::vector<int16_t> samples;  // top left, top right, bottom left, bottom right
    double px, py, want;
  };
  const Case cases[] = {
      {"centre of four", {100, 200, 300, 400}, 0.5, 0.5, 250},
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
}

TEST_F(DemTest, HeightsMatchABilinearReferenceAcrossTiles) {
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

TEST_F(DemTest, EdgesOfTheRaster) {
  // 3 x 2: row 0 = 10 20 30, row 1 = 40 50 60.
  ITransformedRaster* dem =
      OpenDem(MakeDem(dir_, "e.raster", 3, 2, {10, 20, 30, 40, 50, 60}).c_str());
  ASSERT_NE(dem, nullptr);
  struct Case {
    double px, py, want;
  };
  const Case cases[] = {
      {-0.5, 0, 10},       // left of column 0: the missing neighbour is replaced
      {-0.5, 0.5, 25},     // ... and rows still blend
      {2.5, 1, 60},        // right of the last column
      {1, -0.5, 20},       // above row 0
      {1, 1.75, 50},       // below the last row
      {-1.5, 0, kNoData},  // a whole pixel out: the block lies on no tile
      {3.25, 0, kNoData},  {1, 2.5, kNoData},
      {1e9, 1e9, kNoData}, {-1e300, 0, kNoData},  // beyond any pixel index
  };
  for (const Case& c : cases)
    EXPECT_NEAR(DemHeight(dem, MapX(c.px), MapY(c.py, 2)), c.want, 1e-9) << c.px << ", " << c.py;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(DemHeight(dem, nan, 5), kNoData);
  EXPECT_EQ(WrappedDemHeight(dem, 5, nan), kNoData);
  EXPECT_EQ(WrappedDemHeight(dem, nan, 5), kNoData);
  EXPECT_EQ(WrappedDemHeight(dem, std::numeric_limits<double>::infinity(), 5), kNoData);
  CloseDem(dem);
}

TEST_F(DemTest, WrappedHeightsCrossTheSeam) {
  // 5 columns in tiles of 2, so the last column sits alone in its tile.
  const int32_t W = 5, H = 3;
  const std::vector<int16_t> s = {100, 1, 2, 3, 500,  //
                                  200, 1, 2, 3, 600,  //
                                  300, 1, 2, 3, 9998};
  ITransformedRaster* dem = OpenDem(MakeDem(dir_, "w.raster", W, H, s, 2).c_str());
  ASSERT_NE(dem, nullptr);
  struct Case {
    double px, py, want;
  };
  const Case cases[] = {
      {4.5, 0, 300},   // between the last column and the first
      {-0.5, 0, 300},  // the same place from the other side
      {4.25, 0.5, 450},
      {4.5, 1.5, 0.5 * 400 + 0.5 * 150},  // 9998 reads as 0
      {9.5, 0, 300},                      // one turn further east
      {-5.5, 0, 300},                     // one turn west
      {5 * 1000 + 1.5, 1, 1.5},
      {5 * 1000 + 1.5, -0.5, 1.5},  // rows do not wrap: the row above is missing
      {4.5, 3.5, kNoData},          // below the last row
      {0, -1.5, kNoData},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(WrappedDemHeight(dem, MapX(c.px), MapY(c.py, H)), c.want, 1e-9)
        << c.px << ", " << c.py;
  // Without wrapping the seam has one side only.
  EXPECT_NEAR(DemHeight(dem, MapX(4.5), MapY(0, H)), 500, 1e-9);
  EXPECT_DOUBLE_EQ(DemHeight(dem, MapX(9.5), MapY(0, H)), kNoData);
  CloseDem(dem);

  // A DEM one column wide wraps onto itself (its corner pixels lie on one
  // line, so its control points are written by hand).
  const std::string narrow = MakeDem(dir_, "one.raster", 1, 2, {10, 30});
  WriteFileBytes(narrow + ".corners", "5 15 0 0\r\n15 15 1 0\r\n5 5 0 1\r\n");
  ITransformedRaster* one = OpenDem(narrow.c_str());
  ASSERT_NE(one, nullptr);
  EXPECT_NEAR(WrappedDemHeight(one, MapX(7.3), MapY(0.5, 2)), 20, 1e-9);
  CloseDem(one);
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
