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

// The bilinear height at pixel position (px, py); fetch(column, row, block)
// reads the 2 x 2 samples there.
template <class Fetch>
double BilinearHeight(double px, double py, Fetch fetch) {
  const double column = std::floor(px), row = std::floor(py);
  if (!FitsInt32(row)) return kDemNoDataHeight;
  int16_t block[4] = {kDemNoData, kDemNoData, kDemNoData, kDemNoData};
  if (!fetch(column, static_cast<int32_t>(row), block)) return kDemNoDataHeight;
  const double fx = px - column, fy = py - row;
  const double top = DemBlend(block[0], block[1], fx);
  const double bottom = DemBlend(block[2], block[3], fx);
  return DemBlend(top, bottom, fy);
}

// floor(v) for |v| < 2^30, in three instructions where std::floor may call
// out to the C library.
int32_t FloorSmall(double v) {
  const int32_t i = static_cast<int32_t>(v);
  return i - (static_cast<double>(i) > v);
}

// Every sample of the block is a height (none stands for 0, none is
// missing), so each blend is the plain linear one.
bool AllHeights(const int16_t b[4]) {
  return (b[0] < kDemZero) & (b[1] < kDemZero) & (b[2] < kDemZero) & (b[3] < kDemZero);
}

// The height on the library's own raster and affine transform, as direct
// calls: queries come by the million, and the chain of forwarding virtual
// calls would cost more than the work. The common case (a block inside one
// raw tile, four heights) is kept short so that the processor overlaps one
// query's wait for memory with the next query's work.
double OwnHeight(TRaster* raster, const itrans::TTransform* affine, double x, double y) {
  if (raster->GetPixelSize() != 2) return kDemNoDataHeight;
  double px, py;
  if (!affine->InverseOne(x, y, &px, &py)) return kDemNoDataHeight;
  if (std::fabs(px) < 0x1p30 && std::fabs(py) < 0x1p30) {
    const int32_t c = FloorSmall(px), r = FloorSmall(py);
    int16_t block[4];
    if (raster->Block2x2(c, r, block) && AllHeights(block)) {
      const double fx = px - c, fy = py - r;
      const double top = (1 - fx) * block[0] + fx * block[1];
      const double bottom = (1 - fx) * block[2] + fx * block[3];
      return (1 - fy) * top + fy * bottom;
    }
  }
  return BilinearHeight(px, py, [&](double column, int32_t row, int16_t* block) {
    if (!FitsInt32(column)) return false;
    const int32_t c = static_cast<int32_t>(column);
    return raster->Block2x2(c, row, block) || raster->GetPixelBlock(c, row, 2, 2, block);
  });
}

}  // namespace

double DemHeightAt(ITransformedRaster* dem, double x, double y, bool wrap) noexcept {
  if (dem == nullptr) return kDemNoDataHeight;
  if (TTransformedRaster* own = TOwnClass<TTransformedRaster, ITransformedRaster>::Of(dem);
      own != nullptr && !wrap) {
    TRaster* raster = own->OwnRaster();
    const itrans::TTransform* affine = own->OwnAffine();
    if (raster != nullptr && affine != nullptr) return OwnHeight(raster, affine, x, y);
  }
  // Any interface can be handed in: the block holds 2-byte samples only.
  if (dem->GetPixelSize() != 2) return kDemNoDataHeight;
  const double map[2] = {x, y};
  double pixel[2];
  if (!dem->MapToPixel(pixel, map, 1)) return kDemNoDataHeight;
  return BilinearHeight(pixel[0], pixel[1], [&](double column, int32_t row, int16_t* block) {
    if (wrap) return FetchWrapped(dem, column, row, block);
    return FitsInt32(column) && dem->GetPixelBlock(static_cast<int32_t>(column), row, 2, 2, block);
  });
}

}  // namespace orvo
