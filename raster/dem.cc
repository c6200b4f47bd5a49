// Bilinear heights over 2 x 2 blocks of samples read through the raster.
#include "raster/dem.h"

#include <cmath>

#include "raster/transformed_raster.h"

namespace orvo {

namespace {

// A whole number of pixels that fits a 32-bit pixel index (false for NaN).
bool FitsInt32(double v) { return v >= INT32_MIN && v <= INT32_MAX; }

// The wrapping fetch: the block at column c mod W, where the last column's
// right neighbour is column 0.
bool FetchWrapped(ITransformedRaster* dem, double column, int32_t row, int16_t block[4]) {
  const int64_t width = dem->GetWidth();
  if (width < 1) return false;
  // Beyond 2^62 columns the position has no fraction left; it is no place.
  if (!(std::fabs(column) < 0x1p62)) return false;
  int64_t c = static_cast<int64_t>(column) % width;
  if (c < 0) c += width;
  if (c < width - 1) return dem->GetPixelBlock(static_cast<int32_t>(c), row, 2, 2, block);
  int16_t left[2] = {kDemNoData, kDemNoData}, right[2] = {kDemNoData, kDemNoData};
  if (!dem->GetPixelBlock(static_cast<int32_t>(c), row, 1, 2, left) ||
      !dem->GetPixelBlock(static_cast<int32_t>((c + 1) % width), row, 1, 2, right))
    return false;
  block[0] = left[0];
  block[1] = right[0];
  block[2] = left[1];
  block[3] = right[1];
  return true;
}

}  // namespace

ITransformedRaster* OpenDemRaster(const char* file_name) noexcept {
  if (file_name == nullptr) return nullptr;
  ITransformedRaster* dem = nullptr;
  try {
    dem = new TTransformedRaster(file_name, /*read_only=*/true, /*geo_corners=*/false);
  } catch (...) {
    return nullptr;
  }
  if (dem->HasTransform() && dem->GetPixelSize() == 2) return dem;
  dem->Release();  // a fresh object: count 0 -> -1 destroys it
  return nullptr;
}

double DemBlend(double a, double b, double t) {
  if (a == kDemZero) a = 0;
  if (b == kDemZero) b = 0;
  if (a > kDemZero) return b;
  if (b > kDemZero) return a;
  return (1 - t) * a + t * b;
}

namespace {

// The bilinear height at map (x, y): to_pixel(pixel, map) takes the position
// to the raster, fetch(column, row, block) reads the 2 x 2 samples there.
template <class ToPixel, class Fetch>
double BilinearHeight(double x, double y, ToPixel to_pixel, Fetch fetch) {
  const double map[2] = {x, y};
  double pixel[2];
  if (!to_pixel(pixel, map)) return kDemNoDataHeight;
  const double column = std::floor(pixel[0]), row = std::floor(pixel[1]);
  if (!FitsInt32(row)) return kDemNoDataHeight;
  int16_t block[4] = {kDemNoData, kDemNoData, kDemNoData, kDemNoData};
  if (!fetch(column, static_cast<int32_t>(row), block)) return kDemNoDataHeight;
  const double fx = pixel[0] - column, fy = pixel[1] - row;
  const double top = DemBlend(block[0], block[1], fx);
  const double bottom = DemBlend(block[2], block[3], fx);
  return DemBlend(top, bottom, fy);
}

}  // namespace

double DemHeightAt(ITransformedRaster* dem, double x, double y, bool wrap) noexcept {
  if (dem == nullptr) return kDemNoDataHeight;
  // The library's own DEM over a plain raster with an affine transform: the
  // same steps as below, as direct calls. Queries come by the million, and
  // the chain of forwarding virtual calls costs more than the work.
  if (TTransformedRaster* own = TOwnClass<TTransformedRaster, ITransformedRaster>::Of(dem);
      own != nullptr && !wrap) {
    TRaster* raster = own->OwnRaster();
    itrans::TTransform* affine = own->OwnAffine();
    if (raster != nullptr && affine != nullptr) {
      if (raster->GetPixelSize() != 2) return kDemNoDataHeight;
      return BilinearHeight(
          x, y,
          [&](double* pixel, const double* map) {
            return affine->InverseOne(map[0], map[1], &pixel[0], &pixel[1]);
          },
          [&](double column, int32_t row, int16_t* block) {
            if (!FitsInt32(column)) return false;
            const int32_t c = static_cast<int32_t>(column);
            return raster->Block2x2(c, row, block) || raster->GetPixelBlock(c, row, 2, 2, block);
          });
    }
  }
  // Any interface can be handed in: the block holds 2-byte samples only.
  if (dem->GetPixelSize() != 2) return kDemNoDataHeight;
  return BilinearHeight(
      x, y, [&](double* pixel, const double* map) { return dem->MapToPixel(pixel, map, 1); },
      [&](double column, int32_t row, int16_t* block) {
        if (wrap) return FetchWrapped(dem, column, row, block);
        return FitsInt32(column) &&
               dem->GetPixelBlock(static_cast<int32_t>(column), row, 2, 2, block);
      });
}

}  // namespace orvo
