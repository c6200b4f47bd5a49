// What a host does with an opened raster: its geometry, every tile (to its
// last byte), pixels at tile corners and edges, blocks across tile borders,
// and a clone.
#ifndef FUZZ_RASTER_WALK_H_
#define FUZZ_RASTER_WALK_H_

#include "orvoapi.h"

namespace orvofuzz {

// Walks a raster opened read-only; writes must be refused. Does not release.
void WalkRaster(IRaster* raster);

}  // namespace orvofuzz

#endif  // FUZZ_RASTER_WALK_H_
