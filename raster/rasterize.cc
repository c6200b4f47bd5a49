// Triangles and segments burnt into 16-bit rasters.
//
// The loops run over pixel positions clamped to the raster, never over the
// geometry's own extent: a triangle a billion pixels wide costs no more than
// one that covers the raster, and positions far outside write nothing.
#include "raster/rasterize.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "base/holders.h"

namespace orvo {

namespace {

struct Vertex {
  double x, y, z;
};

struct Box {
  double minx, miny, maxx, maxy;
};

bool Drawable(double v) { return std::fabs(v) <= kMaxRasterizePixel; }  // false for NaN

// The raster takes 16-bit samples through its transform.
bool Writable(ITransformedRaster* raster) {
  return raster != nullptr && raster->HasTransform() && raster->GetPixelSize() == 2;
}

// Map points to pixels; false when the transform fails or a position is
// beyond what can be drawn.
bool ToPixels(ITransformedRaster* raster, const double* map, int32_t count, double* pixels) {
  if (!raster->MapToPixel(pixels, map, count)) return false;
  for (int32_t i = 0; i < 2 * count; ++i)
    if (!Drawable(pixels[i])) return false;
  return true;
}

Box BoxOf(const double* xy, int32_t count) {
  Box b{xy[0], xy[1], xy[0], xy[1]};
  for (int32_t i = 1; i < count; ++i) {
    b.minx = std::min(b.minx, xy[2 * i]);
    b.miny = std::min(b.miny, xy[2 * i + 1]);
    b.maxx = std::max(b.maxx, xy[2 * i]);
    b.maxy = std::max(b.maxy, xy[2 * i + 1]);
  }
  return b;
}

// Steps shared by both triangle forms: the vertices in pixels and the box of
// the work, shrunk to the clip box. False when refused or when the clip box
// misses the triangle.
bool PrepareTriangle(ITransformedRaster* raster, const double* clip, const double* points,
                     const double* heights, Vertex v[3], Box* box) {
  if (!Writable(raster) || points == nullptr || heights == nullptr) return false;
  double pixels[6];
  if (!ToPixels(raster, points, 3, pixels)) return false;
  for (int i = 0; i < 3; ++i) {
    if (!std::isfinite(heights[i])) return false;
    v[i] = {pixels[2 * i], pixels[2 * i + 1], heights[i]};
  }
  *box = BoxOf(pixels, 3);
  if (clip != nullptr) {
    double corners[4];
    if (!ToPixels(raster, clip, 2, corners)) return false;
    const Box c = BoxOf(corners, 2);
    if (c.maxx < box->minx || c.minx > box->maxx || c.maxy < box->miny || c.miny > box->maxy)
      return false;
    box->minx = std::max(box->minx, c.minx);
    box->miny = std::max(box->miny, c.miny);
    box->maxx = std::min(box->maxx, c.maxx);
    box->maxy = std::min(box->maxy, c.maxy);
  }
  return true;
}

int16_t RoundedSample(double v) { return SaturatedSample(std::floor(v + 0.5)); }

// Where the scan line y meets the triangle: the span from (xa, za) to
// (xb, zb), xa <= xb. A horizontal edge on the line is the span itself.
bool ScanSpan(const Vertex v[3], double y, double* xa, double* za, double* xb, double* zb) {
  static constexpr int kEdges[3][2] = {{0, 1}, {1, 2}, {2, 0}};
  int crossings = 0;
  for (const auto& e : kEdges) {
    const Vertex& a = v[e[0]];
    const Vertex& b = v[e[1]];
    if (a.y == b.y) {
      if (a.y != y) continue;
      const Vertex& l = a.x <= b.x ? a : b;
      const Vertex& r = a.x <= b.x ? b : a;
      *xa = l.x, *za = l.z, *xb = r.x, *zb = r.z;
      return true;
    }
    if ((y - a.y) * (b.y - y) < 0) continue;
    const double t = (y - a.y) / (b.y - a.y);
    const double x = a.x + t * (b.x - a.x), z = a.z + t * (b.z - a.z);
    if (crossings == 0) {
      *xa = *xb = x;
      *za = *zb = z;
    } else if (x < *xa) {
      *xa = x, *za = z;
    } else if (x > *xb) {
      *xb = x, *zb = z;
    }
    ++crossings;
  }
  return crossings >= 2;
}

}  // namespace

int16_t SaturatedSample(double v) {
  if (!(v == v)) return 0;
  if (v <= INT16_MIN) return INT16_MIN;
  if (v >= INT16_MAX) return INT16_MAX;
  return static_cast<int16_t>(v);
}

bool RasterizeTriangleScan(ITransformedRaster* raster, const double* clip, const double* points,
                           const double* heights) noexcept {
  Vertex v[3];
  Box box;
  if (!PrepareTriangle(raster, clip, points, heights, v, &box)) return false;
  const double width = raster->GetWidth(), height = raster->GetHeight();
  // Pixel centres: one on the minimum side is out, one on the maximum side in.
  // The ends are clamped to the raster, which writes nothing beyond it anyway.
  const double x0 = std::max(std::floor(box.minx + 0.5) + 0.5, 0.5);
  const double x1 = std::min(std::floor(box.maxx + 0.5) - 0.5, width - 0.5);
  const double y0 = std::max(std::floor(box.miny + 0.5) + 0.5, 0.5);
  const double y1 = std::min(std::floor(box.maxy + 0.5) - 0.5, height - 0.5);
  try {
    TArray<int16_t> samples;
    for (double y = y0; y <= y1; y += 1) {
      double xa, za, xb, zb;
      if (!ScanSpan(v, y, &xa, &za, &xb, &zb)) continue;
      const double xs = std::max(std::floor(xa + 0.5) + 0.5, x0);
      const double xe = std::min(std::floor(xb + 0.5) - 0.5, x1);
      if (!(xe >= xs)) continue;  // no centre inside (always so for a one-point span)
      const int32_t n = static_cast<int32_t>(xe - xs + 1);
      // xs > xa and xe <= xb here, so xb > xa.
      const double slope = (zb - za) / (xb - xa);
      samples.Resize(n);
      for (int32_t i = 0; i < n; ++i) samples[i] = RoundedSample((xs + i - xa) * slope + za);
      raster->SetPixelBlock(static_cast<int32_t>(xs), static_cast<int32_t>(y), n, 1,
                            samples.Data());
    }
  } catch (...) {  // no memory for a row's samples
    return false;
  }
  return true;
}

bool RasterizeTrianglePerPixel(ITransformedRaster* raster, const double* clip, const double* points,
                               const double* heights) noexcept {
  Vertex v[3];
  Box box;
  if (!PrepareTriangle(raster, clip, points, heights, v, &box)) return false;
  const double width = raster->GetWidth(), height = raster->GetHeight();
  const int64_t x0 = static_cast<int64_t>(std::max(std::ceil(box.minx), 0.0));
  const int64_t x1 = static_cast<int64_t>(std::min(std::floor(box.maxx), width - 1));
  const int64_t y0 = static_cast<int64_t>(std::max(std::ceil(box.miny), 0.0));
  const int64_t y1 = static_cast<int64_t>(std::min(std::floor(box.maxy), height - 1));
  // The point (x, y) is inside when the ray from p2 through it meets the edge
  // p0-p1 (0 <= s <= 1) no nearer than the point (t >= 1).
  const double d1x = v[1].x - v[0].x, d1y = v[1].y - v[0].y;
  const double d5x = v[0].x - v[2].x, d5y = v[0].y - v[2].y;
  const double t_num = d1x * d5y - d1y * d5x;
  // The plane through the vertices, by the weights of p1 and p2 about p0.
  const double e2x = v[2].x - v[0].x, e2y = v[2].y - v[0].y;
  const double area = d1x * e2y - d1y * e2x;
  for (int64_t y = y0; y <= y1; ++y) {
    for (int64_t x = x0; x <= x1; ++x) {
      const double d3x = x - v[2].x, d3y = y - v[2].y;
      const double det = d3y * d1x - d3x * d1y;
      double z;
      if (det == 0) {
        if (d3x != 0 || d3y != 0) continue;
        z = v[2].z;
      } else {
        const double s = (d3x * d5y - d3y * d5x) / det, t = t_num / det;
        if (!(s >= 0 && s <= 1 && t >= 1)) continue;
        if (area == 0) {
          z = v[2].z;
        } else {
          const double qx = x - v[0].x, qy = y - v[0].y;
          const double w1 = (qx * e2y - qy * e2x) / area, w2 = (d1x * qy - d1y * qx) / area;
          z = v[0].z + w1 * (v[1].z - v[0].z) + w2 * (v[2].z - v[0].z);
        }
      }
      const int16_t sample = RoundedSample(z);
      raster->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), &sample);
    }
  }
  return true;
}

bool RasterizeSegment(ITransformedRaster* raster, const double* clip, const double* first,
                      const double* second, double first_height, double second_height,
                      int32_t mode) noexcept {
  if (!Writable(raster) || first == nullptr || second == nullptr) return false;
  if (mode != kLineWriteAll && mode != kLineKeepMaximum && mode != kLineKeepMinimum) return false;
  if (!std::isfinite(first_height) || !std::isfinite(second_height)) return false;
  const double map[4] = {first[0], first[1], second[0], second[1]};
  const double dx = map[2] - map[0], dy = map[3] - map[1], dz = second_height - first_height;
  if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz)) return false;
  double p[4];
  if (!ToPixels(raster, map, 2, p)) return false;
  Box rect{};
  if (clip != nullptr) {
    rect = {std::min(clip[0], clip[2]), std::min(clip[1], clip[3]), std::max(clip[0], clip[2]),
            std::max(clip[1], clip[3])};
  }
  // |pixel| <= 1e15, so steps stays well inside the exact range of doubles.
  const double extent = std::max(std::fabs(p[2] - p[0]), std::fabs(p[3] - p[1]));
  const int64_t steps = 2 * std::max<int64_t>(static_cast<int64_t>(std::ceil(extent)), 1);

  // Only the part of the segment near the raster can name one of its pixels:
  // the fractions t whose pixel position lies within a pixel of the raster.
  double tlo = 0, thi = 1;
  const auto keep = [&](double a, double d, double lo, double hi) {
    if (d == 0) return a >= lo && a <= hi;
    double t0 = (lo - a) / d, t1 = (hi - a) / d;
    if (t0 > t1) std::swap(t0, t1);
    tlo = std::max(tlo, t0);
    thi = std::min(thi, t1);
    return tlo <= thi;
  };
  const double width = raster->GetWidth(), height = raster->GetHeight();
  if (!keep(p[0], p[2] - p[0], -1, width) || !keep(p[1], p[3] - p[1], -1, height)) return true;
  const int64_t i0 = std::max<int64_t>(static_cast<int64_t>(std::floor(tlo * steps)) - 1, 0);
  const int64_t i1 = std::min<int64_t>(static_cast<int64_t>(std::ceil(thi * steps)) + 1, steps);

  for (int64_t i = i0; i <= i1; ++i) {
    const double t = static_cast<double>(i) / static_cast<double>(steps);
    const double m[2] = {map[0] + t * dx, map[1] + t * dy};
    if (clip != nullptr &&
        (m[0] < rect.minx || m[1] < rect.miny || m[0] > rect.maxx || m[1] > rect.maxy))
      continue;
    const int16_t sample = SaturatedSample(std::trunc(first_height + t * dz));
    double px[2];
    if (!raster->MapToPixel(px, m, 1)) continue;
    const double c = std::floor(px[0] + 0.5), r = std::floor(px[1] + 0.5);
    if (!(c >= 0 && c < width && r >= 0 && r < height)) continue;  // no pixel there
    const int32_t column = static_cast<int32_t>(c), row = static_cast<int32_t>(r);
    if (mode != kLineWriteAll) {
      int16_t existing = 0;
      if (!raster->GetPixel(column, row, &existing)) continue;
      if (existing == 9998) existing = 0;
      const bool write = existing > 9998 || (mode == kLineKeepMaximum && existing < sample) ||
                         (mode == kLineKeepMinimum && sample < existing);
      if (!write) continue;
    }
    raster->SetPixel(column, row, &sample);
  }
  return true;
}

}  // namespace orvo
