// Transformed rasters and raster geometry. OpenTransformedRaster and
// GetRasterTransform are guarded; the others cannot raise and give false for
// a null raster or one without transform.
#include "raster/transformed_raster.h"

#include <algorithm>

#include "api/guard.h"
#include "orvoapi.h"
#include "raster/raster_bound.h"
#include "transform/transform_factory.h"

extern "C" {

bool WriteRasterBound(const char* file_name, int32_t width, int32_t height, const BOUND* bound) {
  if (bound == nullptr || width < 1 || height < 1) return false;
  return orvo::Guarded(
      false, [&] { return orvo::WriteRasterBoundFile(file_name, width, height, *bound); });
}

ITransformedRaster* OpenTransformedRaster(const char* file_name, bool read_only, bool geo_corners) {
  return orvo::Guarded<ITransformedRaster*>(
      nullptr, [&] { return new orvo::TTransformedRaster(file_name, read_only, geo_corners); });
}

bool GetTransformationVectors(double* map_points, double* pixel_points,
                              ITransformedRaster* raster) {
  return raster != nullptr && orvo::RasterCorners(raster, map_points, pixel_points);
}

ITransform* GetRasterTransform(ITransformedRaster* raster) {
  return orvo::Guarded<ITransform*>(nullptr, [&]() -> ITransform* {
    double map[8], pixels[8];
    if (raster == nullptr || !orvo::RasterCorners(raster, map, pixels)) return nullptr;
    return orvo::NewAffineTransform(map, pixels, 4);
  });
}

bool GetRasterOrigin(double* origin, ITransformedRaster* raster) {
  double map[8];
  if (origin == nullptr || raster == nullptr || !orvo::RasterCorners(raster, map, nullptr))
    return false;
  origin[0] = map[0];
  origin[1] = map[1];
  return true;
}

bool GetRasterBoundary(BOUND* bound, ITransformedRaster* raster) {
  double map[8];
  if (bound == nullptr || raster == nullptr || !orvo::RasterCorners(raster, map, nullptr))
    return false;
  *bound = {map[0], map[1], map[0], map[1]};
  for (int i = 1; i < 4; ++i) {
    bound->minx = std::min(bound->minx, map[2 * i]);
    bound->miny = std::min(bound->miny, map[2 * i + 1]);
    bound->maxx = std::max(bound->maxx, map[2 * i]);
    bound->maxy = std::max(bound->maxy, map[2 * i + 1]);
  }
  return true;
}

bool GetTransformedRasterValue(void* dst, ITransformedRaster* raster, double x, double y) {
  int32_t column, row;
  return raster != nullptr && orvo::MapToNearestPixel(raster, x, y, &column, &row) &&
         raster->GetPixel(column, row, dst);
}

bool SetTransformedRasterValue(ITransformedRaster* raster, double x, double y, const void* src) {
  int32_t column, row;
  return raster != nullptr && orvo::MapToNearestPixel(raster, x, y, &column, &row) &&
         raster->SetPixel(column, row, src);
}

}  // extern "C"
