// One image drawn through the exports on every platform: raster views (a
// preview level, enlargement, a window reaching past the raster, an XOR
// blit) and Raster2Dc, through DEM and colour-table palettes and without
// one. The pixels must hash to the same value on Linux and under wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "platform/win32.h"  // SRCCOPY, SRCINVERT on Windows
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

uint32_t Height(int32_t x, int32_t y) {
  if (x == 5) return 9999;           // a column without heights
  if (x == 10 && y == 10) return 0;  // sea level
  return static_cast<uint32_t>((x * 7 + y * 13) % 200 + 50);
}

// FNV-1a, 32 bits, of the image's rows (width * 3 bytes each).
uint32_t ImageHash(HDC dc) {
  int32_t w = 0, h = 0, stride = 0;
  const auto* bits = static_cast<const uint8_t*>(GetImageBitsDC(dc, &w, &h, &stride));
  if (bits == nullptr) return 0;
  uint32_t hash = 2166136261u;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t i = 0; i < w * 3; ++i) {
      hash ^= bits[static_cast<ptrdiff_t>(y) * stride + i];
      hash *= 16777619u;
    }
  return hash;
}

TEST(RenderChecksum, TheSamePixelsOnEveryPlatform) {
  TempDir dir;
  const std::string dem = dir.File("dem.raster");
  // The preview differs from what sampling the raster gives (by 3 m), so the
  // hash also says that the view read it.
  ASSERT_NE(MakeRaster(dem, 48, 32, 16, 16, 2, Height), nullptr);
  ASSERT_NE(MakeRaster(dir.File("dem.r2"), 24, 16, 16, 16, 2,
                       [](int32_t x, int32_t y) { return Height(2 * x, 2 * y) + 3; }),
            nullptr);
  const std::string grey = dir.File("grey.raster");
  ASSERT_NE(MakeRaster(grey, 20, 12, 8, 8, 1,
                       [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 20 + y * 9); }),
            nullptr);

  Released<IRasterView> dem_view(OpenRasterView(dem.c_str()));
  Released<IRasterView> grey_view(OpenRasterView(grey.c_str()));
  Released<IRaster> dem_raster(OpenRaster(dem.c_str(), 1, true));
  ASSERT_NE(dem_view, nullptr);
  ASSERT_NE(grey_view, nullptr);
  ASSERT_NE(dem_raster, nullptr);
  ImageDc dc(CreateImageDC(64, 48));
  ASSERT_NE(dc, nullptr);

  // A DEM palette over the heights of the reduced window.
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  ASSERT_TRUE(dem_view->Prepare(dc.get(), 24, 16, 0, 0, -2));
  ASSERT_TRUE(histogram->BuildFromView(dem_view.get(), 24, 16, 0, 0, -2));
  Released<IPalette> dem_palette(DemHisto2LimitedPalette(
      histogram.get(), histogram->GetMinHeight(), nullptr, histogram->GetMaxHeight(), nullptr,
      nullptr, nullptr, nullptr, nullptr));
  std::vector<uint8_t> rgb(256 * 3);
  for (int i = 0; i < 256; ++i) {
    rgb[i * 3] = static_cast<uint8_t>(i);
    rgb[i * 3 + 1] = static_cast<uint8_t>(255 - i);
    rgb[i * 3 + 2] = static_cast<uint8_t>(i * 3);
  }
  Released<IPalette> colours(BuildPaletteRgb(rgb.data(), 256));
  ASSERT_NE(dem_palette, nullptr);
  ASSERT_NE(colours, nullptr);

  ASSERT_TRUE(dem_view->Draw(dc.get(), 0, 0, dem_palette.get(), SRCCOPY));
  // Enlarged by 3 from (40, 26): 8 x 6 raster pixels, the rest beside it.
  ASSERT_TRUE(dem_view->Render(dc.get(), 24, 0, 40, 20, 40, 26, 3, dem_palette.get(), SRCCOPY));
  ASSERT_TRUE(grey_view->Render(dc.get(), 0, 20, 30, 15, 3, 2, 1, colours.get(), SRCCOPY));
  ASSERT_TRUE(grey_view->Render(dc.get(), 30, 24, 34, 24, 0, 0, -1, nullptr, SRCINVERT));
  // Reduced by 4 from the raster itself, without a view.
  ASSERT_TRUE(
      Raster2Dc(dc.get(), 8, 36, 20, 12, dem_raster.get(), 4, 0, -4, dem_palette.get(), SRCCOPY));

  const uint32_t hash = ImageHash(dc.get());
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", hash);
  EXPECT_EQ(hash, 0xb98e18efu) << "hash " << text << "; pixel (0, 0) "
                               << testing::PrintToString(ImagePixel(dc.get(), 0, 0))
                               << ", (30, 24) "
                               << testing::PrintToString(ImagePixel(dc.get(), 30, 24));
}

}  // namespace
}  // namespace orvotest
