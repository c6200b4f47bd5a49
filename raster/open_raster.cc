// OpenRaster's choice between a raster file and a terrain tile set.
#include "raster/open_raster.h"

#include "raster/raster.h"

namespace orvo {

IRaster* OpenRasterOrTileSet(const char* file_name, int32_t cache_mb, bool read_only) noexcept {
  try {
    return new TRaster(file_name, cache_mb, read_only);
  } catch (...) {
  }
  return OpenTileSetRaster(file_name, read_only);
}

// The library does not read terrain tile lists yet: no path names a tile set,
// so the fallback and the tile-set georeference find nothing.
IRaster* OpenTileSetRaster(const char*, bool) noexcept { return nullptr; }
ITransform* LoadTileSetTransform(const char*) noexcept { return nullptr; }

}  // namespace orvo
