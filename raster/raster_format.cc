// Head checks and tile-grid arithmetic.
#include "raster/raster_format.h"

#include <cstring>
#include <initializer_list>

namespace orvo {

bool HasRasterMagic(const RASTERHEAD& head) {
  return std::memcmp(head.magic, kRasterMagic, sizeof(kRasterMagic)) == 0;
}

bool ComputeRasterGeometry(int64_t width, int64_t height, int64_t tile_width, int64_t tile_height,
                           int64_t pixel_size, RasterGeometry* out) {
  for (int64_t v : {width, height, tile_width, tile_height, pixel_size})
    if (v < 1 || v > INT32_MAX) return false;
  RasterGeometry g;
  g.tiles_across = (width + tile_width - 1) / tile_width;
  g.tiles_down = (height + tile_height - 1) / tile_height;
  int64_t all_bytes = 0;
  if (__builtin_mul_overflow(g.tiles_across, g.tiles_down, &g.tile_count) ||
      __builtin_mul_overflow(tile_width, tile_height, &g.tile_bytes) ||
      __builtin_mul_overflow(g.tile_bytes, pixel_size, &g.tile_bytes) ||
      __builtin_mul_overflow(g.tile_count, g.tile_bytes, &all_bytes))
    return false;
  *out = g;
  return true;
}

}  // namespace orvo
