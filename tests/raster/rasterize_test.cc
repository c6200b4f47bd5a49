// Rasterization of triangles and lines into a recording raster.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "orvoapi.h"

namespace orvotest {
namespace {

constexpr int16_t kUntouched = -7777;

// Map positions are pixel positions times `scale`; counts calls and pixels asked outside.
class RecordingRaster : public ITransformedRaster {
 public:
  RecordingRaster(int32_t width, int32_t height, double scale = 1)
      : width_(width),
        height_(height),
        scale_(scale),
        pixels_(size_t(width) * height, kUntouched) {}

  int16_t At(int32_t x, int32_t y) const { return pixels_[size_t(y) * width_ + x]; }
  int Written() const {
    return int(
        std::count_if(pixels_.begin(), pixels_.end(), [](int16_t v) { return v != kUntouched; }));
  }
  int32_t width_, height_;
  double scale_;
  int32_t pixel_size_ = 2;
  bool has_transform_ = true;
  std::vector<int16_t> pixels_;
  long calls_ = 0, outside_ = 0;

  int32_t ORVO_STDCALL AddRef() override { return 1; }
  int32_t ORVO_STDCALL Release() override { return 0; }
  int32_t ORVO_STDCALL GetWidth() override { return width_; }
  int32_t ORVO_STDCALL GetHeight() override { return height_; }
  int32_t ORVO_STDCALL GetTileWidth() override { return width_; }
  int32_t ORVO_STDCALL GetTileHeight() override { return height_; }
  int32_t ORVO_STDCALL GetPixelSize() override { return pixel_size_; }
  int64_t ORVO_STDCALL GetFileSize() override { return 0; }
  bool ORVO_STDCALL GetPixel(int32_t x, int32_t y, void* dst) override {
    ++calls_;
    return Inside(x, y) && std::memcpy(dst, &pixels_[size_t(y) * width_ + x], 2);
  }
  bool ORVO_STDCALL SetPixel(int32_t x, int32_t y, const void* src) override {
    ++calls_;
    return Inside(x, y) && std::memcpy(&pixels_[size_t(y) * width_ + x], src, 2);
  }
  bool ORVO_STDCALL GetPixelBlock(int32_t, int32_t, int32_t, int32_t, void*) override {
    return false;
  }
  bool ORVO_STDCALL SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                  const void* src) override {
    ++calls_;
    bool any = false;
    for (int64_t j = 0; j < h; ++j)
      for (int64_t i = 0; i < w; ++i)
        if (Inside(x + i, y + j)) {
          pixels_[size_t(y + j) * width_ + x + i] = static_cast<const int16_t*>(src)[j * w + i];
          any = true;
        }
    return any;
  }
  void* ORVO_STDCALL GetTile(int32_t, int32_t) override { return nullptr; }
  ITransformedRaster* ORVO_STDCALL Clone(bool) override { return nullptr; }
  bool ORVO_STDCALL PixelToMap(double* dst, const double* src, int32_t n) override {
    for (int32_t i = 0; i < 2 * n; ++i) dst[i] = src[i] * scale_;
    return has_transform_;
  }
  bool ORVO_STDCALL MapToPixel(double* dst, const double* src, int32_t n) override {
    ++calls_;
    for (int32_t i = 0; i < 2 * n; ++i) dst[i] = src[i] / scale_;
    return has_transform_;
  }
  bool ORVO_STDCALL HasTransform() override { return has_transform_; }
  bool ORVO_STDCALL LoadTransform() override { return has_transform_; }

 private:
  bool Inside(int64_t x, int64_t y) {
    const bool in = x >= 0 && y >= 0 && x < width_ && y < height_;
    if (!in) ++outside_;
    return in;
  }
};

// By scan lines through pixel centres, or per pixel at integer positions.
bool Triangle(ITransformedRaster* r, const double* p, const double* z, const double* clip = nullptr,
              bool per_pixel = false) {
  if (per_pixel) return RasterizeTriangleBoundedMod(r, 0, 0, 0, 0, 0, clip, p, z, 0);
  return clip == nullptr ? RasterizeTriangle(r, 1, 2, 3, 4, 5, p, z, 6)
                         : RasterizeTriangleBounded(r, 1, 2, 3, 4, 5, clip, p, z, 6);
}

TEST(RasterizeTest, WorkedScanLineCases) {
  struct Case {
    const char* what;
    double p[6], z[3];
    int row, first, last;  // the row's written columns, first..last (last < first: none)
  };
  const Case cases[] = {
      {"apex touches a scan line: nothing", {0, 0, 10, 0, 5, 5.5}, {1, 1, 1}, 5, 0, -1},
      {"row below the apex", {0, 0, 10, 0, 5, 5.5}, {1, 1, 1}, 4, 4, 5},
      {"horizontal edge on the last scan line", {0, 0, 0, 9.5, 10, 9.5}, {3, 3, 3}, 9, 0, 9},
      {"centre on the minimum side is out", {0.5, 0.5, 10.5, 0.5, 0.5, 10.5}, {2, 2, 2}, 0, 0, -1},
      {"... the next row is in", {0.5, 0.5, 10.5, 0.5, 0.5, 10.5}, {2, 2, 2}, 1, 1, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingRaster r(12, 12);
    ASSERT_TRUE(Triangle(&r, c.p, c.z));
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(r.At(x, c.row) != kUntouched, x >= c.first && x <= c.last) << x;
  }
  // Heights are rounded, halves up: 12.5 gives 13.
  RecordingRaster r(4, 4);
  const double p[6] = {0, 0, 4, 0, 0, 4}, z[3] = {12.5, 12.5, 12.5};
  ASSERT_TRUE(Triangle(&r, p, z));
  EXPECT_EQ(r.At(0, 0), 13);
  ASSERT_TRUE(Triangle(&r, p, z, nullptr, true));
  EXPECT_EQ(r.At(3, 0), 13);
}

// Independent reference: the sign of the point against each edge.
double Cross(double ax, double ay, double bx, double by, double px, double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}
// The plane through the vertices at (x, y), by Cramer's rule.
double Plane(const double* p, const double* z, double x, double y) {
  const double d = Cross(p[0], p[1], p[2], p[3], p[4], p[5]);
  const double w0 = Cross(p[2], p[3], p[4], p[5], x, y) / d;
  const double w1 = Cross(p[4], p[5], p[0], p[1], x, y) / d;
  const double w2 = Cross(p[0], p[1], p[2], p[3], x, y) / d;
  return w0 * z[0] + w1 * z[1] + w2 * z[2];
}

TEST(RasterizeTest, TrianglesMatchAPointInTriangleReference) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> pos(-8, 40), height(-300, 3000);
  const double scale = 2.5;  // map units a pixel
  int compared = 0;
  for (int n = 0; n < 300; ++n) {
    double p[6], map[6], z[3];
    for (int i = 0; i < 6; ++i) map[i] = (p[i] = pos(rng)) * scale;
    for (double& h : z) h = height(rng);
    const double d = Cross(p[0], p[1], p[2], p[3], p[4], p[5]);
    if (std::fabs(d) < 1) continue;
    for (bool per_pixel : {false, true}) {
      RecordingRaster r(32, 32, scale);
      ASSERT_TRUE(Triangle(&r, map, z, nullptr, per_pixel));
      EXPECT_EQ(r.outside_, 0);
      const double half = per_pixel ? 0 : 0.5;  // centres or integer positions
      for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
          const double px = x + half, py = y + half;
          double e[3] = {Cross(p[0], p[1], p[2], p[3], px, py),
                         Cross(p[2], p[3], p[4], p[5], px, py),
                         Cross(p[4], p[5], p[0], p[1], px, py)};
          for (double& v : e) v *= d > 0 ? 1 : -1;
          const double margin = *std::min_element(e, e + 3);
          if (std::fabs(margin) < 1e-6) continue;  // on an edge: the rules decide
          const bool inside = margin > 0;
          ASSERT_EQ(r.At(x, y) != kUntouched, inside)
              << n << " " << per_pixel << " " << x << "," << y;
          if (inside) {
            EXPECT_NEAR(r.At(x, y), std::floor(Plane(p, z, px, py) + 0.5), 1) << x << "," << y;
            ++compared;
          }
        }
      }
    }
  }
  EXPECT_GT(compared, 10000);
}

TEST(RasterizeTest, ClipBoxesInEitherCornerOrder) {
  const double p[6] = {0, 0, 20, 0, 0, 20}, z[3] = {10, 10, 10};
  RecordingRaster want(20, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (x >= 3 && x < 8 && y >= 2 && y < 6) want.pixels_[y * 20 + x] = 10;
  const double clips[][4] = {{3, 2, 8, 6}, {8, 6, 3, 2}, {3, 6, 8, 2}, {8, 2, 3, 6}};
  for (const auto& clip : clips) {
    for (bool per_pixel : {false, true}) {
      RecordingRaster r(20, 20);
      ASSERT_TRUE(Triangle(&r, p, z, clip, per_pixel));
      if (!per_pixel) {
        EXPECT_EQ(r.pixels_, want.pixels_) << clip[0] << "," << clip[1];
      } else {  // integer positions 3..8 x 2..6, all inside the triangle
        EXPECT_EQ(r.Written(), 6 * 5);
        EXPECT_EQ(r.At(8, 6), 10);
        EXPECT_EQ(r.At(2, 6), kUntouched);
      }
    }
  }
  // A clip box that misses the triangle: false and nothing written.
  const double away[4] = {30, 30, 25, 25};
  RecordingRaster r(20, 20);
  EXPECT_FALSE(Triangle(&r, p, z, away));
  EXPECT_FALSE(Triangle(&r, p, z, away, true));
  EXPECT_EQ(r.Written(), 0);
}

TEST(RasterizeTest, LinesAreSampledTruncatedAndMergedWithExistingSamples) {
  RecordingRaster line(8, 8);
  const double a[2] = {1, 1}, b[2] = {4, 1};
  ASSERT_TRUE(RasterizeLineBounded(&line, nullptr, a, b, 0, 30, 0));
  // t = 0, 1/6, ..., 1 at columns 1, 1.5, ..., 4; halves go up, so t = 2/6 (10)
  // overwrites t = 1/6 (5) in column 2.
  EXPECT_EQ(std::vector<int16_t>(line.pixels_.begin() + 8, line.pixels_.begin() + 16),
            (std::vector<int16_t>{kUntouched, 0, 10, 20, 30, kUntouched, kUntouched, kUntouched}));
  EXPECT_EQ(line.Written(), 4);

  struct Case {
    int16_t existing;
    double height;
    int mode;
    int16_t want;
  };
  const Case cases[] = {
      {9999, -40, 1, -40}, {9999, 40, 2, 40}, {12000, 3, 1, 3},   // no data is always replaced
      {50, 60, 1, 60},     {50, 40, 1, 50},                       // mode 1 keeps the maximum
      {50, 40, 2, 40},     {50, 60, 2, 50},                       // mode 2 the minimum
      {9998, -5, 1, 9998}, {9998, 5, 1, 5},   {9998, -5, 2, -5},  // 9998 counts as 0
      {50, 50, 1, 50},     {50, 40, 0, 40},   {50, 12.9, 0, 12},
      {50, -12.9, 0, -12},  // heights are truncated
  };
  for (const Case& c : cases) {
    RecordingRaster r(3, 3);
    r.pixels_.assign(9, c.existing);
    const double p[2] = {1, 1};
    ASSERT_TRUE(RasterizeLineBounded(&r, nullptr, p, p, c.height, c.height, c.mode));
    EXPECT_EQ(r.At(1, 1), c.want) << c.existing << " " << c.height << " mode " << c.mode;
  }
  RecordingRaster r(3, 3);
  const double p[2] = {1, 1};
  EXPECT_FALSE(RasterizeLineBounded(&r, nullptr, p, p, 1, 1, 3));
  EXPECT_FALSE(RasterizeLineBounded(&r, nullptr, p, p, 1, 1, -1));
  EXPECT_EQ(r.Written(), 0);
}

TEST(RasterizeTest, HostileGeometryIsBoundedAndStaysInside) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double p[6], z[3];
    bool ok;
    int written, written_per_pixel;  // -1: the whole raster
  };
  const Case cases[] = {
      {"far outside", {1e9, 1e9, 1e9 + 5, 1e9, 1e9, 1e9 + 5}, {1, 1, 1}, true, 0, 0},
      {"far left and above", {-1e12, -1e12, -1e12 + 9, -1e12, -1e12, -9e11}, {1, 1, 1}, true, 0, 0},
      {"huge, covering all", {-1e12, -1e12, 1e12, -1e12, 0, 1e12}, {42, 42, 42}, true, -1, -1},
      {"beyond drawable positions", {-1e300, 0, 1e300, 0, 0, 1e300}, {1, 1, 1}, false, 0, 0},
      {"infinite", {0, 0, inf, 0, 0, 5}, {1, 1, 1}, false, 0, 0},
      {"not a number", {0, 0, nan, 0, 0, 5}, {1, 1, 1}, false, 0, 0},
      {"height not a number", {0, 0, 9, 0, 0, 9}, {1, nan, 1}, false, 0, 0},
      {"degenerate: only p2 counts per pixel", {1, 1, 5, 5, 9, 9}, {1, 1, 1}, true, 0, 1},
      {"one point", {3, 3, 3, 3, 3, 3}, {1, 1, 1}, true, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool per_pixel : {false, true}) {
      RecordingRaster r(64, 48);
      EXPECT_EQ(Triangle(&r, c.p, c.z, nullptr, per_pixel), c.ok);
      EXPECT_EQ(r.outside_, 0);
      const int written = per_pixel ? c.written_per_pixel : c.written;
      if (written == -1) {
        EXPECT_EQ(r.Written(), 64 * 48);
        EXPECT_EQ(r.At(63, 47), 42);
      } else {
        EXPECT_EQ(r.Written(), written);
      }
      // Work follows the raster, not the geometry.
      EXPECT_LE(r.calls_, per_pixel ? 64 * 48 + 8 : 48 + 8);
    }
  }
  // Heights beyond 16 bits saturate.
  RecordingRaster r(4, 4);
  const double p[6] = {0, 0, 4, 0, 0, 4}, hi[3] = {1e9, 1e9, 1e9}, lo[3] = {-1e9, -1e9, -1e9};
  ASSERT_TRUE(Triangle(&r, p, hi));
  EXPECT_EQ(r.At(0, 0), 32767);
  ASSERT_TRUE(Triangle(&r, p, lo));
  EXPECT_EQ(r.At(0, 0), -32768);

  // Lines: a huge one across the raster touches only pixels near it.
  RecordingRaster l(64, 48);
  const double a[2] = {-1e13, 10}, b[2] = {1e13, 10};
  ASSERT_TRUE(RasterizeLineBounded(&l, nullptr, a, b, 5, 5, 1));
  EXPECT_EQ(l.outside_, 0);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(l.At(x, 10), 5) << x;
  EXPECT_EQ(l.Written(), 64);
  EXPECT_LE(l.calls_, 3 * (2 * 66 + 8));  // map, read, write a sample
  const double far[2] = {1e9, 1e9}, farther[2] = {-1e9, 1e9 + 1};
  EXPECT_TRUE(RasterizeLineBounded(&l, nullptr, far, farther, 1, 1, 0));
  const double big[2] = {1e300, 0};
  EXPECT_FALSE(RasterizeLineBounded(&l, nullptr, a, big, 1, 1, 0));
  EXPECT_FALSE(RasterizeLineBounded(&l, nullptr, a, b, nan, 1, 0));
  EXPECT_EQ(l.Written(), 64);
}

TEST(RasterizeTest, RefusedRastersAndArguments) {
  const double p[6] = {0, 0, 4, 0, 0, 4}, z[3] = {1, 1, 1}, a[2] = {0, 0};
  const auto refused = [&](ITransformedRaster* r) {
    EXPECT_FALSE(Triangle(r, p, z));
    EXPECT_FALSE(Triangle(r, p, z, nullptr, true));
    EXPECT_FALSE(RasterizeLineBounded(r, nullptr, a, a, 1, 1, 0));
  };
  refused(nullptr);
  RecordingRaster r(4, 4);
  EXPECT_FALSE(Triangle(&r, nullptr, z));
  EXPECT_FALSE(Triangle(&r, p, nullptr));
  EXPECT_FALSE(RasterizeLineBounded(&r, nullptr, nullptr, a, 1, 1, 0));
  r.has_transform_ = false;
  refused(&r);
  r.has_transform_ = true;
  r.pixel_size_ = 4;
  refused(&r);
  EXPECT_EQ(r.Written(), 0);
}

}  // namespace
}  // namespace orvotest
