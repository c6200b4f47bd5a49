// Rasters with their map transform.
#include "raster/transformed_raster.h"

#include <cmath>

#include "base/errors.h"
#include "raster/open_raster.h"
#include "transform/transform_factory.h"

namespace orvo {

const char kCantOpenRaster[] = "can't open raster";

namespace {

// The cache a transformed raster opens its raster with, in megabytes.
constexpr int32_t kTransformedRasterCacheMb = 10;

}  // namespace

TTransformedRaster::TTransformedRaster(const char* file_name, bool read_only, bool geo_corners)
    : geo_corners_(geo_corners) {
  TOwnClass<TTransformedRaster, ITransformedRaster>::Note(this);
  raster_.Reset(OpenRasterOrTileSet(file_name, kTransformedRasterCacheMb, read_only));
  if (!raster_) Raise(kCantOpenRaster);
  path_ = file_name;
  LoadTransform();  // a raster without transform still opens
}

ITransformedRaster* ORVO_STDCALL TTransformedRaster::Clone(bool read_only) {
  try {
    return new TTransformedRaster(path_.c_str(), read_only, geo_corners_);
  } catch (...) {
    return nullptr;
  }
}

bool ORVO_STDCALL TTransformedRaster::PixelToMap(double* dst, const double* src, int32_t count) {
  return transform_ && transform_->Transform(dst, src, count);
}

bool ORVO_STDCALL TTransformedRaster::MapToPixel(double* dst, const double* src, int32_t count) {
  return transform_ && transform_->InverseTransform(dst, src, count);
}

bool ORVO_STDCALL TTransformedRaster::HasTransform() { return transform_ && transform_->IsValid(); }

bool ORVO_STDCALL TTransformedRaster::LoadTransform() {
  try {
    transform_.Reset(LoadTileSetTransform(path_.c_str()));
    if (!transform_)
      transform_.Reset(LoadControlPointTransform((path_ + ".corners").c_str(), geo_corners_,
                                                 /*orthogonal=*/false));
  } catch (...) {
    transform_.Reset();
  }
  return static_cast<bool>(transform_);
}

bool RasterCorners(ITransformedRaster* raster, double* map_points, double* pixel_points) {
  const double w = raster->GetWidth(), h = raster->GetHeight();
  const double pixels[8] = {0, 0, w - 1, 0, w - 1, h - 1, 0, h - 1};
  double map[8];
  if (!raster->PixelToMap(map, pixels, 4)) return false;
  for (int i = 0; i < 8; ++i) {
    if (map_points != nullptr) map_points[i] = map[i];
    if (pixel_points != nullptr) pixel_points[i] = pixels[i];
  }
  return true;
}

bool MapToNearestPixel(ITransformedRaster* raster, double x, double y, int32_t* column,
                       int32_t* row) {
  const double map[2] = {x, y};
  double pixel[2];
  if (!raster->MapToPixel(pixel, map, 1)) return false;
  const double c = std::floor(pixel[0] + 0.5), r = std::floor(pixel[1] + 0.5);
  // Positions far outside any raster (or not numbers) name no pixel.
  if (!(c >= INT32_MIN && c <= INT32_MAX && r >= INT32_MIN && r <= INT32_MAX)) return false;
  *column = static_cast<int32_t>(c);
  *row = static_cast<int32_t>(r);
  return true;
}

}  // namespace orvo
