// Rasterization into 16-bit rasters with a transform. The exports never
// raise (the work behind them catches its own failures): they give false for
// a refused raster or argument and for a clip region that misses the
// triangle, true otherwise. The 32-bit arguments of the triangle exports
// that carry no meaning are accepted and ignored.
#include "raster/rasterize.h"

#include "orvoapi.h"

extern "C" {

bool RasterizeTriangleBounded(ITransformedRaster* raster, int32_t, int32_t, int32_t, int32_t,
                              int32_t, const double* clip, const double* points,
                              const double* heights, int32_t) {
  return orvo::RasterizeTriangleScan(raster, clip, points, heights);
}

bool RasterizeTriangle(ITransformedRaster* raster, int32_t, int32_t, int32_t, int32_t, int32_t,
                       const double* points, const double* heights, int32_t) {
  return orvo::RasterizeTriangleScan(raster, nullptr, points, heights);
}

bool RasterizeTriangleBoundedMod(ITransformedRaster* raster, int32_t, int32_t, int32_t, int32_t,
                                 int32_t, const double* clip, const double* points,
                                 const double* heights, int32_t) {
  return orvo::RasterizeTrianglePerPixel(raster, clip, points, heights);
}

bool RasterizeLineBounded(ITransformedRaster* raster, const double* clip, const double* first,
                          const double* second, double first_height, double second_height,
                          int32_t mode) {
  return orvo::RasterizeSegment(raster, clip, first, second, first_height, second_height, mode);
}

}  // extern "C"
