// OpenRaster's choice between a raster file and a terrain tile set.
#include "raster/open_raster.h"

#include "raster/raster.h"
#include "raster/raster_file.h"
#include "taws/ta_raster.h"
#include "taws/taws_set.h"

namespace orvo {

IRaster* OpenRasterOrTileSet(const char* file_name, int32_t cache_mb, bool read_only) noexcept {
  try {
    return new TRaster(file_name, cache_mb, read_only);
  } catch (...) {
  }
  return OpenTileSetRaster(file_name, read_only);
}

IRaster* OpenTileSetRaster(const char* list_name, bool read_only) noexcept {
  try {
    return new TTaRaster(list_name, read_only);
  } catch (...) {
    return nullptr;
  }
}

ITransform* LoadTileSetTransform(const char* list_name) noexcept {
  try {
    // A raster file is no list, whatever its bytes happen to hold; asking
    // first also spares every transformed raster a scan of its file.
    if (list_name == nullptr || IsRasterFile(list_name)) return nullptr;
    TawsSet set;
    LoadTawsSet(list_name, &set);
    return NewTawsSetTransform(set);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace orvo
