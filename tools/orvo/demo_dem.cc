// Demo: a DEM raster with control points, a triangle and a line burnt into
// it, heights answered at map positions, and the DEM drawn through a DEM
// palette into an image.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32.h"  // SRCCOPY on Windows
#include "tools/orvo/demo.h"
#ifdef ORVO_HAVE_PNG
#include "tools/orvo/command.h"
#include "tools/orvo/png_file.h"
#endif

namespace orvotool {

namespace {

// The DEM through a view into an image context, coloured by a DEM palette
// over the heights of the view's window; saved as out.
void DrawDem(const HostLibrary& lib, const std::string& path, const std::string& out,
             Checker& check) {
  IRasterView* view = ORVO_FN(lib, OpenRasterView)(path.c_str());
  HDC dc = ORVO_FN(lib, CreateImageDC)(100, 100);
  IDemHistogramm* histogram = ORVO_FN(lib, CreateDemHistogramm)();
  IPalette* palette = nullptr;
  bool drawn = false;
  if (view != nullptr && dc != nullptr && histogram != nullptr &&
      view->Prepare(dc, 100, 100, 0, 0, 1) && histogram->BuildFromView(view, 100, 100, 0, 0, 1)) {
    std::printf("  heights in the view: %d to %d m\n", histogram->GetMinHeight(),
                histogram->GetMaxHeight());
    palette = ORVO_FN(lib, DemHisto2LimitedPalette)(histogram, histogram->GetMinHeight(), nullptr,
                                                    histogram->GetMaxHeight(), nullptr, nullptr,
                                                    nullptr, nullptr, nullptr);
    drawn = palette != nullptr && view->Draw(dc, 0, 0, palette, SRCCOPY);
  }
  // The ridge is the highest: the brightest grey; where there is no height: red.
  int32_t w = 0, h = 0, stride = 0, brightest = -1, ridge = 0, red = 0;
  const auto* bits =
      drawn ? static_cast<const uint8_t*>(ORVO_FN(lib, GetImageBitsDC)(dc, &w, &h, &stride))
            : nullptr;
  for (int32_t y = 0; bits != nullptr && y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* p = bits + static_cast<ptrdiff_t>(y) * stride + x * 3;  // blue, green, red
      red += p[0] == 0 && p[1] == 0 && p[2] == 255;
      if (p[0] != p[1] || p[1] != p[2]) continue;
      if (p[0] > brightest) {
        brightest = p[0];
        ridge = 0;
      }
      ridge += p[0] == brightest;
    }
  check.Expect(drawn && brightest > 200 && ridge >= 80 && red > 1000,
               "a view draws it by a DEM palette: ridge bright, no data red");
#ifdef ORVO_HAVE_PNG
  if (bits != nullptr) {
    try {
      WriteBgrPng(out, bits, w, h, stride);
      std::printf("  drew the DEM into %s\n", out.c_str());
    } catch (const InputError& e) {
      check.Expect(false, ("the image can't be written: " + e.problem).c_str());
    }
  }
#else
  std::printf("  (this build writes no PNG images: %s is not saved)\n", out.c_str());
#endif
  if (palette != nullptr) palette->Release();
  if (histogram != nullptr) histogram->Release();
  if (dc != nullptr) ORVO_FN(lib, FreeImageDC)(dc);
  if (view != nullptr) view->Release();
}

}  // namespace

void DemoDem(const HostLibrary& lib, const std::string& dir, const std::string& out_dir,
             Checker& check) {
  std::printf("DEM (rasterized triangle and line, bilinear heights)\n");
  const std::string path = (std::filesystem::path(dir) / "dem.raster").string();
  // 100 x 100 samples of 10 m over 0..1000 m east and north.
  const BOUND bound{0, 0, 1000, 1000};
  check.Expect(ORVO_FN(lib, CreateRaster)(path.c_str(), 100, 100, 64, 64, 2, 0) &&
                   ORVO_FN(lib, WriteRasterBound)((path + ".corners").c_str(), 100, 100, &bound),
               "a 100 x 100 DEM with its control points");
  ITransformedRaster* target = ORVO_FN(lib, OpenTransformedRaster)(path.c_str(), false, false);
  if (target == nullptr) return;
  const int16_t no_data = 9999;
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 100; ++x) target->SetPixel(x, y, &no_data);
  // A slope rising from 100 m in the west to 300 m in the east.
  const double points[6] = {0, 0, 1000, 0, 0, 1000};
  const double heights[3] = {100, 300, 100};
  const bool triangle = ORVO_FN(lib, RasterizeTriangle)(target, 0, 0, 0, 0, 0, points, heights, 0);
  // A ridge line at 500 m across the middle, kept only where it is higher.
  const double from[2] = {100, 500}, to[2] = {900, 500};
  const bool line =
      ORVO_FN(lib, RasterizeLineBounded)(target, nullptr, from, to, 500, 500, /*mode=*/1);
  target->Release();
  check.Expect(triangle && line, "RasterizeTriangle and RasterizeLineBounded write the DEM");

  ITransformedRaster* dem = ORVO_FN(lib, OpenDem)(path.c_str());
  check.Expect(dem != nullptr, "OpenDem opens it read-only with its transform");
  if (dem == nullptr) return;
  const double slope = ORVO_FN(lib, DemHeight)(dem, 200, 205);
  const double ridge = ORVO_FN(lib, DemHeight)(dem, 305, 495);
  const double outside = ORVO_FN(lib, DemHeight)(dem, 900, 900);
  std::printf("  heights: %.1f m on the slope, %.1f m on the ridge, %.0f outside the triangle\n",
              slope, ridge, outside);
  check.Expect(slope > 130 && slope < 150, "the slope's height between its vertices");
  check.Expect(ridge == 500, "the line's height where it was burnt");
  check.Expect(outside == 9999, "no data where nothing was burnt");
  ORVO_FN(lib, CloseDem)(dem);
  DrawDem(lib, path, (std::filesystem::path(out_dir) / "orvo-demo-dem.png").string(), check);
  std::filesystem::remove(path + ".corners");
  std::filesystem::remove(path);
}

}  // namespace orvotool
