// Raster files, tiles and run-length coding, and OpenRaster. None of these
// raises: file functions report failure by their result, OpenRaster by null.
#include "base/os_file.h"
#include "orvoapi.h"
#include "raster/open_raster.h"
#include "raster/raster_file.h"
#include "raster/rle.h"

extern "C" {

bool CreateRaster(const char* file_name, int32_t width, int32_t height, int32_t tile_width,
                  int32_t tile_height, int32_t pixel_size, int32_t head_size) {
  return orvo::CreateRasterFile(file_name, width, height, tile_width, tile_height, pixel_size,
                                head_size);
}

int32_t ReadRasterHead(const char* file_name, void* buffer, int32_t size) {
  return orvo::ReadRasterHeadFile(file_name, buffer, size);
}

int32_t WriteRasterHead(const char* file_name, const void* buffer, int32_t size) {
  return orvo::WriteRasterHeadFile(file_name, buffer, size);
}

bool IsRaster(const char* file_name) { return orvo::IsRasterFile(file_name); }

int32_t TileCount(int32_t tile_size, int32_t extent) {
  // A tile size below 1 is the caller's fault; answer 0 rather than trap.
  if (tile_size < 1) return 0;
  return static_cast<int32_t>((int64_t{extent} + tile_size - 1) / tile_size);
}

int32_t RleCompress(void* dst, const void* src, int32_t source_size, int32_t pixel_size) {
  if (dst == nullptr || src == nullptr) return 0;
  return static_cast<int32_t>(orvo::RleEncode(
      static_cast<uint8_t*>(dst), static_cast<const uint8_t*>(src), source_size, pixel_size));
}

bool RleDecompress(void* dst, int32_t dst_size, const void* src, int32_t source_size,
                   int32_t pixel_size) {
  if (dst == nullptr || src == nullptr) return false;
  return orvo::RleDecode(static_cast<uint8_t*>(dst), dst_size, static_cast<const uint8_t*>(src),
                         source_size, pixel_size);
}

IRaster* OpenRaster(const char* file_name, int32_t cache_mb, bool read_only) {
  return orvo::OpenRasterOrTileSet(file_name, cache_mb, read_only);
}

}  // extern "C"
