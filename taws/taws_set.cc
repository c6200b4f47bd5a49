// Tile set geometry from the tile list.
#include "taws/taws_set.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/errors.h"
#include "taws/taws_tile.h"
#include "transform/transform_factory.h"

namespace orvo {

const char kCantLoadTawsList[] = "can't load tawslist";

namespace {

// Tile grids beyond these are no degree tiles of the earth; they would only
// take memory.
constexpr double kMaxTilesASide = 65536;
constexpr int64_t kMaxTiles = int64_t{1} << 22;

}  // namespace

void LoadTawsSet(const char* list_name, TawsSet* set) {
  if (!set->list.Load(list_name) || set->list.Count() == 0) Raise(kCantLoadTawsList);
  {
    TTawsMap first(set->list.FilePath(0).c_str(), 0, 0, 0, /*read_only=*/true);
    set->intervals = first.Samples() - 1;
  }
  BOUND& b = set->bound;
  b = set->list.Entry(0).bound;
  for (int32_t i = 1; i < set->list.Count(); ++i) {
    const BOUND& e = set->list.Entry(i).bound;
    b.minx = std::min(b.minx, e.minx);
    b.miny = std::min(b.miny, e.miny);
    b.maxx = std::max(b.maxx, e.maxx);
    b.maxy = std::max(b.maxy, e.maxy);
  }
  b.maxx = std::floor(b.maxx);
  b.miny = std::ceil(b.miny);
  const double across = std::trunc(std::fabs(b.maxx - b.minx));
  const double down = std::trunc(std::fabs(b.maxy - b.miny));
  if (!(across >= 1 && down >= 1 && across <= kMaxTilesASide && down <= kMaxTilesASide))
    Raise(kCantLoadTawsList);
  set->tiles_across = static_cast<int32_t>(across);
  set->tiles_down = static_cast<int32_t>(down);
  set->width = int64_t{set->intervals} * set->tiles_across;
  set->height = int64_t{set->intervals} * set->tiles_down;
  if (int64_t{set->tiles_across} * set->tiles_down > kMaxTiles || set->width > INT32_MAX ||
      set->height > INT32_MAX)
    Raise(kCantLoadTawsList);
  set->grid.assign(static_cast<size_t>(set->tiles_across) * set->tiles_down, -1);
  for (int32_t i = 0; i < set->list.Count(); ++i) {
    const BOUND& e = set->list.Entry(i).bound;
    const double column = std::trunc(e.minx - b.minx), row = std::trunc(b.maxy - e.maxy);
    // Entries that stick out of the rounded union have no cell.
    if (column < 0 || row < 0 || column >= across || row >= down) continue;
    set->grid[static_cast<size_t>(row) * set->tiles_across + static_cast<size_t>(column)] = i;
  }
}

void FillTawsSetHead(const TawsSet& set, uint8_t head[kRasterHeadSize]) {
  RASTERHEAD h;
  std::memset(&h, 0, sizeof(h));
  std::memcpy(h.magic, kRasterMagic, sizeof(kRasterMagic));
  const int64_t n = set.intervals;
  h.file_size = n * n * 2 * set.tiles_across * set.tiles_down + kRasterHeadSize;
  h.head_size = kRasterHeadSize;
  h.reserved = 100;
  h.width = set.width;
  h.height = set.height;
  h.tile_width = h.tile_height = n;
  h.pixel_size = 2;
  h.data_offset = kRasterHeadSize;
  std::memcpy(head, &h, 137);
}

ITransform* NewTawsSetTransform(const TawsSet& set) {
  const BOUND& b = set.bound;
  const double w = static_cast<double>(set.width), h = static_cast<double>(set.height);
  const double d = (b.maxx - b.minx) / w;
  const double map[8] = {b.minx + d / 2, b.maxy - d / 2, b.minx + d / 2, b.miny + d / 2,
                         b.maxx - d / 2, b.miny + d / 2, b.maxx - d / 2, b.maxy - d / 2};
  const double pixels[8] = {0, 0, 0, h - 1, w - 1, h - 1, w - 1, 0};
  return NewAffineTransform(map, pixels, 4);
}

}  // namespace orvo
