// Covered parts, reduction and enlargement, drawing, window positions on the map.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "orvoapi.h"
#include "platform/win32.h"  // BitBlt raster operations
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

struct Rect {
  int32_t x, y, w, h;
  bool operator==(const Rect&) const = default;
};

// The covered part, or {-9, -9, -9, -9} (the untouched outputs) when none.
Rect Visible(int32_t W, int32_t H, int32_t x, int32_t y, int32_t scale, int32_t w, int32_t h) {
  Rect r{-9, -9, -9, -9};
  VisibleRect2(W, H, x, y, scale, w, h, &r.x, &r.y, &r.w, &r.h);
  return r;
}

TEST(VisibleRect, CoversThePartOfTheWindowOnTheRaster) {
  EXPECT_EQ(Visible(1000, 500, 0, 0, -4, 300, 300), (Rect{0, 0, 250, 125}));
  EXPECT_EQ(Visible(1000, 500, -40, 0, 2, 300, 300), (Rect{80, 0, 220, 300}));
  for (int32_t one : {0, 1, -1})
    EXPECT_EQ(Visible(1000, 500, 10, -20, one, 300, 300), (Rect{0, 20, 300, 280})) << one;
  EXPECT_EQ(Visible(1000, 500, 900, 450, -1, 300, 300), (Rect{0, 0, 100, 50}));
  EXPECT_EQ(Visible(1000, 500, -16, -8, -8, 300, 300), (Rect{2, 1, 125, 62}));
  // Beside every edge: nothing, outputs untouched.
  for (auto [x, y, scale] : {std::tuple{-400, 0, -1}, {0, -400, -1}, {1400, 0, -1}, {0, 900, -2}})
    EXPECT_EQ(Visible(1000, 500, x, y, scale, 300, 300), (Rect{-9, -9, -9, -9})) << x << "," << y;
  EXPECT_FALSE(VisibleRect(nullptr, 0, 0, 1, 1, 1, nullptr, nullptr, nullptr, nullptr));
}

class Scaling : public ::testing::Test {
 protected:
  static uint32_t Value(int32_t x, int32_t y) { return static_cast<uint32_t>(x + 100 * y); }
  void SetUp() override {
    // 37 x 23 pixels of 2 bytes in 8 x 4 tiles: partial tiles on both edges.
    raster_ = MakeRaster(dir_.File("r.raster"), kW, kH, 8, 4, 2, Value);
    ASSERT_NE(raster_, nullptr);
  }
  static constexpr int32_t kW = 37, kH = 23;
  static constexpr uint16_t kFill = 0xABCD;
  TempDir dir_;
  Released<IRaster> raster_;
};

// Reduction samples every s-th pixel, enlargement repeats each s times; pixels off the
// raster stay, and the buffer holds exactly w * h pixels, so a long row would show.
TEST_F(Scaling, ReductionEnlargementAndDrawingWriteOnlyTheCoveredPart) {
  using Positions = std::vector<std::pair<int32_t, int32_t>>;
  const int32_t w = 10, h = 7;
  for (const bool up : {false, true})
    for (int32_t scale : up ? std::vector<int32_t>{2, 3, -3} : std::vector<int32_t>{-2, -3, -4, -8})
      for (auto [x, y] : up ? Positions{{0, 0}, {-3, -2}, {33, 20}, {-1, 21}}
                            : Positions{{0, 0}, {7, 5}, {-9, -5}, {30, 20}, {-40, 0}}) {
        SCOPED_TRACE(testing::Message() << scale << " at " << x << "," << y);
        const int32_t s = std::abs(scale);
        std::vector<uint16_t> want(static_cast<size_t>(w) * h, kFill), out = want;
        for (int32_t Y = 0; Y < h; ++Y)
          for (int32_t X = 0; X < w; ++X) {
            const int64_t rx = up ? x + X / s : (x / s + X) * int64_t{s};
            const int64_t ry = up ? y + Y / s : (y / s + Y) * int64_t{s};
            if (rx >= 0 && ry >= 0 && rx < kW && ry < kH)
              want[Y * w + X] = Value(static_cast<int32_t>(rx), static_cast<int32_t>(ry));
          }
        ASSERT_TRUE(up ? RasterUpScale(out.data(), w, h, raster_.get(), x, y, scale)
                       : RasterDownScale(out.data(), w, h, raster_.get(), x, y, scale));
        EXPECT_EQ(out, want);
      }
  uint16_t unused;
  EXPECT_FALSE(RasterDownScale(&unused, 0, 1, raster_.get(), 0, 0, -2));
  EXPECT_FALSE(RasterDownScale(&unused, 1, 1, raster_.get(), 0, 0, 0));
  EXPECT_FALSE(RasterDownScale(&unused, 1, 1, nullptr, 0, 0, -2));
  EXPECT_FALSE(RasterUpScale(&unused, 1, 0, raster_.get(), 0, 0, 2));
  EXPECT_FALSE(RasterUpScale(&unused, 1, 1, raster_.get(), 0, 0, 0));
  EXPECT_FALSE(RasterUpScale(&unused, 1, 1, raster_.get(), -100, 0, 2));  // nothing to read

  // Drawing copies the covered part with the operation.
  ImageDc dc(CreateImageDC(12, 6));
  ASSERT_NE(dc, nullptr);
  // Without a palette 2-byte pixels are the grey of their low byte.
  ASSERT_TRUE(Raster2Dc(dc.get(), 1, 1, 10, 5, raster_.get(), -2, 20, 1, nullptr, SRCCOPY));
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 12; ++x) {
      const int32_t wx = x - 1, wy = y - 1, rx = wx - 2, ry = wy + 20;
      const bool drawn = wx >= 2 && wx < 10 && wy >= 0 && wy < 3;
      const uint8_t g = drawn ? static_cast<uint8_t>(Value(rx, ry)) : 0xFF;
      EXPECT_EQ(ImagePixel(dc.get(), x, y), (std::vector<uint8_t>{g, g, g})) << x << "," << y;
    }
  EXPECT_FALSE(Raster2Dc(dc.get(), 0, 0, 0, 5, raster_.get(), 0, 0, 1, nullptr, SRCCOPY));
  EXPECT_FALSE(Raster2Dc(dc.get(), 0, 0, 5, 5, raster_.get(), kW, 0, 1, nullptr, SRCCOPY));
  EXPECT_FALSE(Raster2Dc(dc.get(), 0, 0, 5, 5, nullptr, 0, 0, 1, nullptr, SRCCOPY));
  // Windows of a size no buffer can hold fail cleanly.
  EXPECT_FALSE(
      Raster2Dc(dc.get(), 0, 0, 2000000000, 2000000000, raster_.get(), 0, 0, 1, nullptr, SRCCOPY));

  // Without a palette 4-byte pixels draw nothing.
  Released<IRaster> wide =
      MakeRaster(dir_.File("c.raster"), 4, 4, 4, 4, 4, [](int, int) { return 7u; });
  ASSERT_NE(wide, nullptr);
  ImageDc white(CreateImageDC(4, 4));
  EXPECT_FALSE(Raster2Dc(white.get(), 0, 0, 4, 4, wide.get(), 0, 0, 1, nullptr, SRCCOPY));
  EXPECT_EQ(ImagePixel(white.get(), 0, 0), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF}));
}

TEST(WindowMap, WindowPixelsReachTheMapAndBack) {
  // map x = 10 * column + 100, map y = 500 - 10 * row.
  const double pixel[6] = {0, 0, 10, 0, 0, 10}, map[6] = {100, 500, 200, 500, 100, 400};
  Released<ITransform> to_map(CreateAffineTransform(map, pixel, 3));
  ASSERT_NE(to_map, nullptr);
  double point[2];
  ASSERT_TRUE(RasterWindow2Map(point, 3, 4, 10, 20, -2, to_map.get()));  // (10 + 6, 20 + 8)
  EXPECT_DOUBLE_EQ(point[0], 260);
  EXPECT_DOUBLE_EQ(point[1], 220);
  ASSERT_TRUE(RasterWindow2Map(point, 7, 5, 10, 20, 3, to_map.get()));  // (10 + 2, 20 + 1)
  EXPECT_DOUBLE_EQ(point[0], 220);
  EXPECT_DOUBLE_EQ(point[1], 290);
  EXPECT_FALSE(RasterWindow2Map(point, 0, 0, 0, 0, 0, to_map.get()));
  EXPECT_FALSE(RasterWindow2Map(point, 0, 0, 0, 0, 1, nullptr));
  EXPECT_EQ(CreateMap2RasterWindowAffineTransform(to_map.get(), 0, 0, 0), nullptr);
  EXPECT_EQ(CreateMap2RasterWindowAffineTransform(nullptr, 0, 0, -2), nullptr);
  Released<ITransform> to_window(CreateMap2RasterWindowAffineTransform(to_map.get(), 10, 20, -2));
  ASSERT_NE(to_window, nullptr);
  const double at[2] = {260, 220};
  ASSERT_TRUE(to_window->Transform(point, at, 1));
  EXPECT_NEAR(point[0], 3, 1e-9);
  EXPECT_NEAR(point[1], 4, 1e-9);
}

}  // namespace
}  // namespace orvotest
