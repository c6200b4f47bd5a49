// The raster file's head and tile table, and the geometry derived from them.
// All integers are little-endian, as on every machine the library runs on.
#ifndef RASTER_RASTER_FORMAT_H_
#define RASTER_RASTER_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace orvo {

constexpr char kRasterMagic[8] = {'_', 'r', 'a', 's', 't', 'e', 'r', '_'};
constexpr int64_t kRasterHeadSize = 264;
// The library's own part of the head; bytes from here on belong to the caller.
constexpr int64_t kRasterUserOffset = 88;
constexpr int64_t kRasterHeadSizeOffset = 16;
// Stored tiles that are not raw start with this method word.
constexpr uint16_t kRleMethod = 1;

// The 264-byte head at offset 0. Every field sits at a multiple of 8, so the
// layout has no padding on any of our compilers.
struct RASTERHEAD {
  char magic[8];
  int64_t file_size;
  int64_t head_size;
  int64_t reserved;
  int64_t width;
  int64_t height;
  int64_t tile_width;
  int64_t tile_height;
  int64_t pixel_size;
  int64_t tile_table_offset;  // variable layout; 0 for the fixed layout
  int64_t data_offset;        // fixed layout; 0 for the variable layout
  double user1;
  double user2;
  int64_t user3;
  uint8_t user_area[152];
};
static_assert(sizeof(RASTERHEAD) == kRasterHeadSize, "raster head is 264 bytes");
static_assert(offsetof(RASTERHEAD, head_size) == kRasterHeadSizeOffset, "head size at 16");
static_assert(offsetof(RASTERHEAD, user1) == kRasterUserOffset, "user fields at 88");

// One entry of the variable layout's tile table: 12 bytes, no padding.
#pragma pack(push, 1)
struct RASTERTILE {
  int64_t offset;  // 0 or negative: absent
  uint32_t size;   // stored bytes; 0: absent
};
#pragma pack(pop)
static_assert(sizeof(RASTERTILE) == 12, "tile table entries are 12 bytes");

bool HasRasterMagic(const RASTERHEAD& head);

// Tile grid of a head, all products checked for overflow.
struct RasterGeometry {
  int64_t tiles_across = 0;
  int64_t tiles_down = 0;
  int64_t tile_count = 0;
  int64_t tile_bytes = 0;
};

// False when a size is below 1 or beyond 32 bits (pixels are addressed with
// 32-bit coordinates), or when the tile grid's byte count does not fit in 64
// bits.
bool ComputeRasterGeometry(int64_t width, int64_t height, int64_t tile_width, int64_t tile_height,
                           int64_t pixel_size, RasterGeometry* out);

}  // namespace orvo

#endif  // RASTER_RASTER_FORMAT_H_
