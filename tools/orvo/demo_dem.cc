// Demo: a DEM raster with control points, a triangle and a line burnt into
// it, and heights answered at map positions.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/orvo/demo.h"

namespace orvotool {

void DemoDem(const HostLibrary& lib, const std::string& dir, Checker& check) {
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
  std::filesystem::remove(path + ".corners");
  std::filesystem::remove(path);
}

}  // namespace orvotool
