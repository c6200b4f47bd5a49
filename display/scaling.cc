// Window reading at zoom steps, covered parts, drawing and window positions.
#include "display/scaling.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "display/dib_section.h"
#include "raster/raster.h"
#include "transform/transform_factory.h"

namespace mt {
namespace {

constexpr uint16_t kNoHeight = 9999;

int32_t Magnitude(int32_t scale) { return scale < 0 ? -scale : scale; }

// A buffer of n bytes, or empty when it cannot be had. Sizes beyond any
// window a host could show are refused before asking.
std::unique_ptr<uint8_t[]> TryBuffer(int64_t n) {
  constexpr uint64_t kLargest = std::min<uint64_t>(SIZE_MAX / 2, uint64_t{1} << 38);
  if (n < 0 || static_cast<uint64_t>(n) > kLargest) return nullptr;
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[static_cast<size_t>(n)]);
}

bool DownScale(uint8_t* dst, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
               int32_t s) {
  const int64_t p = raster->GetPixelSize();
  const int64_t tw = raster->GetTileWidth(), th = raster->GetTileHeight();
  const int64_t width = raster->GetWidth(), height = raster->GetHeight();
  if (p < 1 || tw < 1 || th < 1 || width < 1 || height < 1) return true;
  // Output pixel (X, Y) of the reduced image is raster pixel (X * s, Y * s);
  // the window starts at reduced column x0 and row y0.
  const int64_t x0 = x / s, y0 = y / s;
  // Only the reduced pixels that lie on the raster and in the window.
  const int64_t first_x = std::max<int64_t>(x0, 0),
                last_x = std::min<int64_t>(x0 + w, (width + s - 1) / s) - 1;
  const int64_t first_y = std::max<int64_t>(y0, 0),
                last_y = std::min<int64_t>(y0 + h, (height + s - 1) / s) - 1;
  if (first_x > last_x || first_y > last_y) return true;
  for (int64_t ty = first_y * s / th; ty <= last_y * s / th; ++ty) {
    const int64_t oy = (ty * th + s - 1) / s;  // first reduced row in this tile
    const int64_t row_from = std::max(oy, first_y);
    const int64_t row_to = std::min((ty * th + th - 1) / s, last_y);
    for (int64_t tx = first_x * s / tw; tx <= last_x * s / tw; ++tx) {
      const int64_t ox = (tx * tw + s - 1) / s;
      const int64_t col_from = std::max(ox, first_x);
      const int64_t col_to = std::min((tx * tw + tw - 1) / s, last_x);
      if (row_from > row_to || col_from > col_to) continue;
      const auto* tile = static_cast<const uint8_t*>(
          raster->GetTile(static_cast<int32_t>(tx), static_cast<int32_t>(ty)));
      if (tile == nullptr) continue;  // its output pixels keep what they held
      for (int64_t Y = row_from; Y <= row_to; ++Y) {
        const uint8_t* src = tile + ((Y * s - ty * th) * tw + (col_from * s - tx * tw)) * p;
        uint8_t* out = dst + ((Y - y0) * w + (col_from - x0)) * p;
        for (int64_t X = col_from; X <= col_to; ++X, src += s * p, out += p)
          std::memcpy(out, src, static_cast<size_t>(p));
      }
    }
  }
  return true;
}

}  // namespace

bool VisibleRect2(int32_t W, int32_t H, int32_t x, int32_t y, int32_t scale, int32_t w, int32_t h,
                  int32_t* vx, int32_t* vy, int32_t* vw, int32_t* vh) {
  if (scale == 0 || scale == 1) scale = -1;
  int64_t x0, y0, x1, y1;
  if (scale < 0) {
    const int64_t s = -int64_t{scale};
    x0 = -int64_t{x} / s;
    y0 = -int64_t{y} / s;
    x1 = x0 + W / s;
    y1 = y0 + H / s;
  } else {
    x0 = -int64_t{x} * scale;
    y0 = -int64_t{y} * scale;
    x1 = int64_t{W} * scale + x0;
    y1 = int64_t{H} * scale + y0;
  }
  if (w < x0 || h < y0 || x1 < 0 || y1 < 0) return false;
  const int64_t left = std::max<int64_t>(x0, 0), top = std::max<int64_t>(y0, 0);
  if (vx != nullptr) *vx = static_cast<int32_t>(left);
  if (vy != nullptr) *vy = static_cast<int32_t>(top);
  if (vw != nullptr) *vw = static_cast<int32_t>(std::min<int64_t>(w, x1) - left);
  if (vh != nullptr) *vh = static_cast<int32_t>(std::min<int64_t>(h, y1) - top);
  return true;
}

bool VisibleRect(IRaster* raster, int32_t x, int32_t y, int32_t scale, int32_t w, int32_t h,
                 int32_t* vx, int32_t* vy, int32_t* vw, int32_t* vh) {
  if (raster == nullptr) return false;
  return mt::VisibleRect2(raster->GetWidth(), raster->GetHeight(), x, y, scale, w, h, vx, vy, vw,
                          vh);
}

bool RasterDownScale(void* dst, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
                     int32_t scale) {
  if (dst == nullptr || raster == nullptr || w < 1 || h < 1 || scale == 0) return false;
  try {
    return DownScale(static_cast<uint8_t*>(dst), w, h, raster, x, y, Magnitude(scale));
  } catch (...) {
    throw kDownScaleFailed;
  }
}

bool RasterUpScale(void* dst, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
                   int32_t scale) {
  if (dst == nullptr || raster == nullptr || w < 1 || h < 1 || scale == 0) return false;
  const int64_t s = Magnitude(scale);
  const int64_t p = raster->GetPixelSize();
  const int64_t sw = (w + s - 1) / s, sh = (h + s - 1) / s;
  std::unique_ptr<uint8_t[]> source = TryBuffer(p * sw * sh);
  if (p < 1 || source == nullptr) return false;
  std::memset(source.get(), 0, static_cast<size_t>(p * sw * sh));
  if (!raster->GetPixelBlock(x, y, static_cast<int32_t>(sw), static_cast<int32_t>(sh),
                             source.get()))
    return false;
  int32_t vx = 0, vy = 0, vw = static_cast<int32_t>(sw), vh = static_cast<int32_t>(sh);
  mt::VisibleRect(raster, x, y, 1, static_cast<int32_t>(sw), static_cast<int32_t>(sh), &vx, &vy,
                  &vw, &vh);
  const int64_t col_end = std::min<int64_t>(int64_t{vx} + vw, sw);
  const int64_t row_end = std::min<int64_t>(int64_t{vy} + vh, sh);
  if (col_end <= vx || row_end <= vy) return true;
  // The covered part starts vx * s columns in; its rows end at w, never past.
  const int64_t out_start = vx * s;
  const int64_t out_len = std::min((col_end - vx) * s, int64_t{w} - out_start);
  if (out_len <= 0) return true;
  std::unique_ptr<uint8_t[]> row = TryBuffer(out_len * p);
  if (row == nullptr) return false;
  auto* out = static_cast<uint8_t*>(dst);
  for (int64_t r = vy; r < row_end; ++r) {
    const uint8_t* src = source.get() + (r * sw + vx) * p;
    for (int64_t i = 0; i < out_len; ++i)
      std::memcpy(row.get() + i * p, src + (i / s) * p, static_cast<size_t>(p));
    for (int64_t k = r * s; k < (r + 1) * s && k < h; ++k)
      std::memcpy(out + (k * w + out_start) * p, row.get(), static_cast<size_t>(out_len * p));
  }
  return true;
}

void FillBackground(void* buffer, int64_t pixels, int32_t pixel_size) {
  if (pixel_size == 2) {
    auto* values = static_cast<uint16_t*>(buffer);
    std::fill(values, values + pixels, kNoHeight);
  } else {
    std::memset(buffer, 0, static_cast<size_t>(pixels * pixel_size));
  }
}

bool ReadWindow(void* buffer, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
                int32_t scale) {
  const int32_t pixel_size = raster->GetPixelSize();
  if (scale >= -1 && scale <= 1 && pixel_size <= 8) {
    // A raster file's own read fills what it does not cover as it goes, which
    // spares a full window of writes when it covers (nearly) all of it.
    if (auto* file = dynamic_cast<orvo::TRaster*>(raster)) {
      uint8_t background[8] = {};
      FillBackground(background, 1, pixel_size);
      return file->GetPixelBlockFilled(x, y, w, h, buffer, background);
    }
  }
  FillBackground(buffer, int64_t{w} * h, pixel_size);
  if (scale < -1) return mt::RasterDownScale(buffer, w, h, raster, x, y, scale);
  if (scale > 1) return mt::RasterUpScale(buffer, w, h, raster, x, y, scale);
  return raster->GetPixelBlock(x, y, w, h, buffer);
}

bool PixelsToDib(uint8_t* dst, const uint8_t* src, int32_t pixel_size, int32_t count,
                 IPalette* palette) {
  if (palette != nullptr) {
    palette->Pixels2Dib(dst, src, pixel_size, count);
    return true;
  }
  switch (pixel_size) {
    case 1:
      for (int32_t i = 0; i < count; ++i, dst += 3) dst[0] = dst[1] = dst[2] = src[i];
      return true;
    case 2:
      // The low byte of each little-endian 16-bit value.
      for (int32_t i = 0; i < count; ++i, dst += 3) dst[0] = dst[1] = dst[2] = src[i * 2];
      return true;
    case 3:
      for (int32_t i = 0; i < count; ++i, dst += 3, src += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
      return true;
    default:
      return false;
  }
}

bool Raster2Dc(HDC dc, int32_t dc_x, int32_t dc_y, int32_t w, int32_t h, IRaster* raster, int32_t x,
               int32_t y, int32_t scale, IPalette* palette, uint32_t rop) {
  if (raster == nullptr) return false;
  const int32_t p = raster->GetPixelSize();
  if ((p > 3 && palette == nullptr) || p < 1 || w < 1 || h < 1 || x >= raster->GetWidth() ||
      y >= raster->GetHeight())
    return false;
  std::unique_ptr<uint8_t[]> buffer = TryBuffer(int64_t{p} * w * h);
  if (buffer == nullptr) return false;
  if (!ReadWindow(buffer.get(), w, h, raster, x, y, scale)) return false;
  TDibSection dib(w, h, dc);
  for (int32_t r = 0; r < h; ++r)
    if (!PixelsToDib(dib.GetRow(r), buffer.get() + int64_t{r} * w * p, p, w, palette)) return false;
  int32_t vx = 0, vy = 0, vw = w, vh = h;
  if (!mt::VisibleRect(raster, x, y, scale, w, h, &vx, &vy, &vw, &vh)) return false;
  BitBlt(dc, dc_x + vx, dc_y + vy, vw, vh, dib.GetDC(), vx, vy, rop);
  return true;
}

bool RasterWindow2Map(double* point, int32_t wx, int32_t wy, int32_t x, int32_t y, int32_t scale,
                      ITransform* transform) {
  if (transform == nullptr || point == nullptr || scale == 0) return false;
  if (scale < 1) {
    point[0] = -static_cast<double>(scale) * wx + x;
    point[1] = -static_cast<double>(scale) * wy + y;
  } else {
    point[0] = static_cast<double>(wx / scale) + x;
    point[1] = static_cast<double>(wy / scale) + y;
  }
  return transform->Transform(point, point, 1);
}

ITransform* CreateMap2RasterWindowAffineTransform(ITransform* transform, int32_t x, int32_t y,
                                                  int32_t scale) {
  if (transform == nullptr || scale == 0) return nullptr;
  int32_t window[4][2] = {{0, 0}, {0, 999}, {999, 999}, {999, 0}};
  if (scale >= 2) {
    const int32_t half = scale / 2, e = (999 / scale) * scale - half;
    const int32_t corners[4][2] = {{half, half}, {half, e}, {e, e}, {e, half}};
    std::memcpy(window, corners, sizeof window);
  }
  double window_points[8], map_points[8];
  for (int i = 0; i < 4; ++i) {
    window_points[2 * i] = window[i][0];
    window_points[2 * i + 1] = window[i][1];
    if (!mt::RasterWindow2Map(map_points + 2 * i, window[i][0], window[i][1], x, y, scale,
                              transform))
      return nullptr;
  }
  return orvo::NewAffineTransform(window_points, map_points, 4);
}

}  // namespace mt
