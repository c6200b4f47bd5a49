// The geometry of a terrain tile set: its list, the grid of its first tile
// and the raster the tiles make together (one tile a degree square, row 0 in
// the north).
#ifndef TAWS_TAWS_SET_H_
#define TAWS_TAWS_SET_H_

#include <cstdint>
#include <vector>

#include "orvoapi.h"
#include "raster/raster_format.h"
#include "taws/map_database.h"

namespace orvo {

extern const char kCantLoadTawsList[];  // "can't load tawslist"

struct TawsSet {
  TMapDatabase list;
  int32_t intervals = 0;  // N: samples a raster tile side (the tile file's n - 1)
  BOUND bound{};          // union of the entries, maximum x down and minimum y up to whole degrees
  int32_t tiles_across = 0;
  int32_t tiles_down = 0;
  int64_t width = 0;   // N * tiles across
  int64_t height = 0;  // N * tiles down
  // tiles_across x tiles_down cells, row by row from the north: an entry
  // index, or -1 for no tile. A later entry in a cell replaces an earlier one.
  std::vector<int32_t> grid;

  int32_t Entry(int32_t tx, int32_t ty) const {
    return grid[static_cast<size_t>(ty) * static_cast<size_t>(tiles_across) +
                static_cast<size_t>(tx)];
  }
};

// Loads the list and the first tile's grid size. Throws "can't load
// tawslist" for a list that does not load, has no entries or spans no
// whole tile or more than a raster can address, and the tile errors of
// the first tile.
void LoadTawsSet(const char* list_name, TawsSet* set);

// The raster head that describes the set (bytes 0..136; the caller's
// bytes from 137 on are left as they were).
void FillTawsSetHead(const TawsSet& set, uint8_t head[kRasterHeadSize]);

// The pixel-to-map transform: the centres of the corner pixels at the
// corners of the union bound, one pixel size d = bound width / raster width
// on both axes. Raises when the fit fails.
ITransform* NewTawsSetTransform(const TawsSet& set);

}  // namespace orvo

#endif  // TAWS_TAWS_SET_H_
