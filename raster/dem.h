// Elevation models: rasters of signed 16-bit heights with a map transform,
// asked for bilinear heights at map positions.
//
// Height conventions: a sample of 9998 stands for height 0; a sample above
// 9998 (9999) means no data; every failed query answers 9999.
#ifndef RASTER_DEM_H_
#define RASTER_DEM_H_

#include <cstdint>

#include "orvoapi.h"

namespace orvo {

constexpr int16_t kDemNoData = 9999;  // no data, and the answer of a failed query
constexpr int16_t kDemZero = 9998;    // stands for height 0
constexpr double kDemNoDataHeight = 9999.0;

// The raster at path, read-only, when it has a valid transform and 2-byte
// pixels; null otherwise. Never throws.
ITransformedRaster* OpenDemRaster(const char* file_name) noexcept;

// blend(a, b, t): 9998 reads as 0; a missing sample (above 9998) is replaced
// by the other one, unweighted; otherwise linear.
double DemBlend(double a, double b, double t);

// The bilinear height at map position (x, y), or 9999 for a null DEM, a
// position the transform does not take, or a block read that delivers no
// tile. With wrap the columns are taken modulo the raster width (a DEM
// around the whole circle of longitude); rows never wrap. Never throws.
double DemHeightAt(ITransformedRaster* dem, double x, double y, bool wrap) noexcept;

}  // namespace orvo

#endif  // RASTER_DEM_H_
