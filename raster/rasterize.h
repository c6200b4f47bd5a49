// Burning triangles and line segments with a height at each vertex into a
// raster of signed 16-bit samples. Geometry is in map coordinates and reaches
// pixels through the raster's MapToPixel; pixel centres lie at k + 0.5.
//
// Every function refuses (false, nothing written) a null raster or argument,
// a raster without transform or with pixels other than 2 bytes, positions or
// heights that are not finite numbers, and pixel positions beyond
// kMaxRasterizePixel, which no raster reaches: such geometry cannot be drawn
// without overflow. Work is bounded by the raster's size, whatever the size
// of the geometry. Heights beyond the 16-bit range are stored as the nearest
// 16-bit value. None of them throws.
#ifndef RASTER_RASTERIZE_H_
#define RASTER_RASTERIZE_H_

#include <cstdint>

#include "orvoapi.h"

namespace orvo {

// Pixel positions (column or row) of a larger magnitude are refused.
constexpr double kMaxRasterizePixel = 1e15;

// The 16-bit sample for a height: the nearest value in range, 0 for NaN.
int16_t SaturatedSample(double v);

// Scan-line form. points: three (x, y) map points; heights: three values, one
// a vertex. clip: null, or two map points whose bounding box in pixels limits
// the work; false when it misses the triangle. Each row of the triangle is
// written with one block write; samples are rounded (floor(v + 0.5)).
bool RasterizeTriangleScan(ITransformedRaster* raster, const double* clip, const double* points,
                           const double* heights) noexcept;

// Per-pixel form: integer pixel positions (x, y) inside the triangle (edges
// included) get the height of the plane through the vertices, rounded.
bool RasterizeTrianglePerPixel(ITransformedRaster* raster, const double* clip, const double* points,
                               const double* heights) noexcept;

// Line modes.
enum : int32_t { kLineWriteAll = 0, kLineKeepMaximum = 1, kLineKeepMinimum = 2 };

// Samples the segment at 2 * max(ceil(pixel length), 1) + 1 evenly spaced
// points (end points included), heights truncated toward zero, each written
// to its nearest pixel. clip: null or a map rectangle (either corner order);
// points outside it are skipped. Modes 1 and 2 write only above (below) the
// existing sample; an existing no-data sample is always overwritten, an
// existing 9998 counts as 0, an unreadable one is left alone.
bool RasterizeSegment(ITransformedRaster* raster, const double* clip, const double* first,
                      const double* second, double first_height, double second_height,
                      int32_t mode) noexcept;

}  // namespace orvo

#endif  // RASTER_RASTERIZE_H_
