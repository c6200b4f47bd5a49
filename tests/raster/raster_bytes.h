// Raster files built byte by byte, so that tests can lay out heads and tile
// tables that the library itself never writes (variable layout, damage).
#ifndef TESTS_RASTER_RASTER_BYTES_H_
#define TESTS_RASTER_RASTER_BYTES_H_

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "raster/raster_format.h"

namespace orvotest {

inline orvo::RASTERHEAD MakeHead(int64_t width, int64_t height, int64_t tile_width,
                                 int64_t tile_height, int64_t pixel_size) {
  orvo::RASTERHEAD head;
  std::memset(&head, 0, sizeof(head));
  std::memcpy(head.magic, "_raster_", 8);
  head.head_size = 264;
  head.width = width;
  head.height = height;
  head.tile_width = tile_width;
  head.tile_height = tile_height;
  head.pixel_size = pixel_size;
  return head;
}

inline std::string HeadBytes(const orvo::RASTERHEAD& head) {
  return std::string(reinterpret_cast<const char*>(&head), sizeof(head));
}

// A variable-layout file: the head, the table, then the stored tiles in
// order (an empty optional is an absent tile); sizes and offsets filled in.
inline std::string VariableRaster(orvo::RASTERHEAD head,
                                  const std::vector<std::optional<std::string>>& tiles) {
  head.data_offset = 0;
  head.tile_table_offset = 264;
  int64_t at = 264 + static_cast<int64_t>(tiles.size()) * 12;
  std::string table, data;
  for (const auto& t : tiles) {
    orvo::RASTERTILE entry{0, 0};
    if (t) {
      entry.offset = at + static_cast<int64_t>(data.size());
      entry.size = static_cast<uint32_t>(t->size());
      data += *t;
    }
    table.append(reinterpret_cast<const char*>(&entry), sizeof(entry));
  }
  head.file_size = at + static_cast<int64_t>(data.size());
  return HeadBytes(head) + table + data;
}

// A stored run-length tile: the method word, then the stream.
inline std::string RleTile(const std::vector<std::pair<uint16_t, std::string>>& runs,
                           uint16_t method = 1) {
  std::string out(reinterpret_cast<const char*>(&method), 2);
  for (const auto& [count, pixel] : runs) {
    out.append(reinterpret_cast<const char*>(&count), 2);
    out += pixel;
  }
  return out;
}

}  // namespace orvotest

#endif  // TESTS_RASTER_RASTER_BYTES_H_
