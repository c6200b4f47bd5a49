// Opening a raster by path: a raster file, or else a terrain tile set seen as
// one raster.
#ifndef RASTER_OPEN_RASTER_H_
#define RASTER_OPEN_RASTER_H_

#include <cstdint>

#include "orvoapi.h"

namespace orvo {

// A TRaster on the file; when the path is no raster file, the tile set the
// path lists; null when neither opens. Never throws.
IRaster* OpenRasterOrTileSet(const char* file_name, int32_t cache_mb, bool read_only) noexcept;

// The terrain tile set listed by the file, as one raster; null when the path
// is no tile list. Never throws.
IRaster* OpenTileSetRaster(const char* list_name, bool read_only) noexcept;

// The pixel-to-map transform of the tile set listed by the file; null when
// the path is no tile list. Never throws.
ITransform* LoadTileSetTransform(const char* list_name) noexcept;

}  // namespace orvo

#endif  // RASTER_OPEN_RASTER_H_
