// Walk of an opened raster.
#include "fuzz/raster_walk.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz/scratch.h"

namespace orvofuzz {

namespace {

constexpr int64_t kMostTiles = 64;
constexpr int64_t kMostTileBytes = int64_t{4} << 20;
constexpr int32_t kMostPixelSize = 64;

volatile uint64_t g_sink;

void Touch(const void* bytes, int64_t size) {
  uint64_t sum = 0;
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  for (int64_t i = 0; i < size; ++i) sum += p[i];
  g_sink = g_sink + sum;
}

}  // namespace

void WalkRaster(IRaster* r) {
  const int32_t w = r->GetWidth(), h = r->GetHeight();
  const int32_t tw = r->GetTileWidth(), th = r->GetTileHeight();
  const int32_t ps = r->GetPixelSize();
  Require(w > 0 && h > 0 && tw > 0 && th > 0 && ps > 0, "an opened raster without geometry");
  Require(r->GetFileSize() > 0, "an opened raster without a file size");
  const int64_t tile_bytes = int64_t{tw} * th * ps;
  const int32_t across = TileCount(tw, w), down = TileCount(th, h);
  std::vector<uint8_t> pixel(static_cast<size_t>(std::min(ps, kMostPixelSize)));
  int64_t tiles = 0;
  for (int32_t ty = 0; ty < down && tiles < kMostTiles; ++ty) {
    for (int32_t tx = 0; tx < across && tiles < kMostTiles; ++tx, ++tiles) {
      void* tile = r->GetTile(tx, ty);
      if (tile != nullptr && tile_bytes <= kMostTileBytes) Touch(tile, tile_bytes);
      if (ps > kMostPixelSize) continue;
      // A tile's far edge may lie past INT32_MAX when the raster ends inside
      // it: the corners are taken in 64 bits and clipped to the raster.
      const int64_t x0 = int64_t{tx} * tw, y0 = int64_t{ty} * th;
      for (int64_t y : {y0, std::min<int64_t>(h - 1, y0 + th - 1)})
        for (int64_t x : {x0, std::min<int64_t>(w - 1, x0 + tw - 1)})
          if (r->GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), pixel.data())) {
            Require(!r->SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), pixel.data()),
                    "a read-only raster took a pixel");
          }
    }
  }
  r->GetTile(-1, 0);
  r->GetTile(across, down);
  if (ps <= kMostPixelSize) {
    for (int32_t x : {-1, w, INT32_MIN, INT32_MAX}) r->GetPixel(x, 0, pixel.data());
    for (int32_t y : {-1, h, INT32_MIN, INT32_MAX}) r->GetPixel(0, y, pixel.data());
    // Blocks at the origin, across the first tile border and over the far
    // corner, partly outside the raster.
    const int32_t bw = std::min(w, 48), bh = std::min(h, 48);
    std::vector<uint8_t> block(static_cast<size_t>(bw + 2) * (bh + 2) * ps);
    r->GetPixelBlock(0, 0, bw, bh, block.data());
    r->GetPixelBlock(std::min(tw, w) - 1, std::min(th, h) - 1, 2, 2, block.data());
    r->GetPixelBlock(w - bw / 2, h - bh / 2, bw, bh, block.data());
    r->GetPixelBlock(-1, -1, bw + 2, bh + 2, block.data());
    r->GetPixelBlock(0, 0, 0, 5, block.data());
    Require(!r->SetPixelBlock(0, 0, 1, 1, block.data()), "a read-only raster took a block");
  }
  if (IRaster* clone = r->Clone(true)) {
    Require(clone->GetWidth() == w && clone->GetPixelSize() == ps, "a clone of other geometry");
    clone->GetTile(0, 0);
    clone->Release();
  }
}

}  // namespace orvofuzz
