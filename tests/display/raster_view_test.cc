// Raster views: previews found by stem, windows prepared and drawn.
#include "display/raster_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

// Pixel (x, y) of level L: a buffer tells which level it came from and where.
uint32_t LevelValue(int32_t level, int32_t x, int32_t y) {
  return static_cast<uint32_t>(1000 * level + x + 40 * y);
}

class RasterViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // a.r0..2 halve each time; a.bad halves the width only; a.b1 has 1-byte pixels.
    const int32_t sizes[3][2] = {{32, 16}, {16, 8}, {8, 4}};
    for (int32_t level = 0; level < 3; ++level) {
      ASSERT_NE(
          MakeRaster(dir_.File("a.r" + std::to_string(level)), sizes[level][0], sizes[level][1], 8,
                     4, 2, [level](int32_t x, int32_t y) { return LevelValue(level, x, y); }),
          nullptr);
    }
    ASSERT_NE(MakeRaster(dir_.File("a.bad"), 4, 16, 4, 4, 2, [](int32_t, int32_t) { return 5u; }),
              nullptr);
    ASSERT_NE(MakeRaster(dir_.File("a.b1"), 2, 1, 2, 1, 1, [](int32_t, int32_t) { return 5u; }),
              nullptr);
    WriteFileBytes(dir_.File("a.txt"), "not a raster");
  }
  TempDir dir_;
};

TEST_F(RasterViewTest, PreviewsAreFoundByStemAndWindowsOffTheRasterAreNotDrawn) {
  for (const char* name : {"a.r0", "a.r2", "a.none"}) {
    SCOPED_TRACE(name);
    mt::TRasterView view(dir_.File(name).c_str());
    EXPECT_EQ(view.factors(), (std::vector<int32_t>{1, 2, 4}));
    EXPECT_EQ(view.GetWidth(), 32);
    EXPECT_EQ(view.GetHeight(), 16);
  }
  EXPECT_TRUE(IsRasterPreviewPresent(dir_.File("a.r1").c_str()));
  EXPECT_EQ(OpenRasterView(dir_.File("missing.r0").c_str()), nullptr);
  EXPECT_EQ(OpenRasterView(nullptr), nullptr);
  EXPECT_FALSE(IsRasterPreviewPresent(nullptr));
  const std::string alone = dir_.File("c.raster");  // a raster alone has no preview
  ASSERT_NE(MakeRaster(alone, 4, 4, 4, 4, 2, [](int32_t, int32_t) { return 7u; }), nullptr);
  EXPECT_FALSE(IsRasterPreviewPresent(alone.c_str()));

  // Windows off the raster hold no height and are not drawn.
  Released<IRasterView> view(OpenRasterView(dir_.File("a.r0").c_str()));
  ASSERT_NE(view, nullptr);
  ImageDc dc(CreateImageDC(6, 3));
  ASSERT_TRUE(view->Render(dc.get(), 1, 0, 4, 3, 30, 14, 1, nullptr, SRCCOPY));
  const auto* px = static_cast<const uint16_t*>(view->GetBuffer());
  const uint32_t no = 9999, a = LevelValue(0, 30, 14), b = LevelValue(0, 30, 15);
  EXPECT_EQ(std::vector<uint32_t>(px, px + 12),
            (std::vector<uint32_t>{a, a + 1, no, no, b, b + 1, no, no, no, no, no, no}));
  // Covered: window columns 0..1, rows 0..1, at image column 1.
  const uint8_t g = static_cast<uint8_t>(LevelValue(0, 31, 15));
  EXPECT_EQ(ImagePixel(dc.get(), 2, 1), (std::vector<uint8_t>{g, g, g}));
  EXPECT_EQ(ImagePixel(dc.get(), 3, 1), (std::vector<uint8_t>{255, 255, 255}));

  // Failed preparations leave nothing to draw.
  EXPECT_FALSE(view->Prepare(dc.get(), 0, 3, 0, 0, 1));
  EXPECT_EQ(view->GetBufferSize(), 0);
  EXPECT_FALSE(view->Draw(dc.get(), 0, 0, nullptr, SRCCOPY));
  EXPECT_FALSE(view->Prepare(dc.get(), 4, 3, 32, 0, 1));
  EXPECT_FALSE(view->Prepare(dc.get(), 4, 3, -40, 0, 1));
  EXPECT_FALSE(view->Render(dc.get(), 0, 0, 4, 3, 0, 16, 1, nullptr, SRCCOPY));
}

TEST_F(RasterViewTest, AWindowOfTheSameSizeShowsOnlyItsOwnPixels) {
  // The view keeps its image between windows of one size: nothing shows through.
  Released<IRasterView> view(OpenRasterView(dir_.File("a.r0").c_str()));
  ASSERT_NE(view, nullptr);
  ImageDc first(CreateImageDC(4, 3));
  ASSERT_TRUE(view->Render(first.get(), 0, 0, 4, 3, 0, 0, 1, nullptr, SRCCOPY));
  ASSERT_TRUE(view->Render(first.get(), 0, 0, 4, 3, 10, 5, 1, nullptr, SRCCOPY));
  Released<IRasterView> fresh(OpenRasterView(dir_.File("a.r0").c_str()));
  ImageDc second(CreateImageDC(4, 3));
  ASSERT_TRUE(fresh->Render(second.get(), 0, 0, 4, 3, 10, 5, 1, nullptr, SRCCOPY));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(ImagePixel(first.get(), x, y), ImagePixel(second.get(), x, y)) << x << "," << y;
  const uint8_t g = static_cast<uint8_t>(LevelValue(0, 11, 6));
  EXPECT_EQ(ImagePixel(first.get(), 1, 1), (std::vector<uint8_t>{g, g, g}));
}

}  // namespace
}  // namespace orvotest
