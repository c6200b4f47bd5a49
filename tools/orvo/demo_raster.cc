// Demo: a tiled raster with its control points, written through one opener
// and read through a second, and a pixel answered at a map position.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/orvo/demo.h"

namespace orvotool {

void DemoRaster(const HostLibrary& lib, const std::string& dir, Checker& check) {
  std::printf("rasters (tiles in a shared mapping, control points, map positions)\n");
  const std::string path = (std::filesystem::path(dir) / "heights.raster").string();
  const std::string corners = path + ".corners";
  // 600 x 300 heights of 2 bytes in 256 x 256 tiles, covering 30-36 E, 58-61 N:
  // a pixel is 0.01 degrees a side.
  const int32_t width = 600, height = 300;
  bool created = ORVO_FN(lib, CreateRaster)(path.c_str(), width, height, 256, 256, 2, 0);
  const BOUND bound{30.0, 58.0, 36.0, 61.0};
  bool bounded = ORVO_FN(lib, WriteRasterBound)(corners.c_str(), width, height, &bound);
  std::printf("  created %s (%" PRId64 " bytes) and its control points\n", path.c_str(),
              static_cast<int64_t>(std::filesystem::file_size(path)));
  check.Expect(created && bounded && ORVO_FN(lib, IsRaster)(path.c_str()),
               "CreateRaster and WriteRasterBound make a raster and its corners");

  IRaster* writer = ORVO_FN(lib, OpenRaster)(path.c_str(), 10, false);
  IRaster* reader = ORVO_FN(lib, OpenRaster)(path.c_str(), 10, true);
  check.Expect(writer != nullptr && reader != nullptr,
               "a second OpenRaster shares the file the first one holds");
  if (writer == nullptr || reader == nullptr) return;
  // Heights rise 1 m a column and 10 m a row.
  std::vector<uint16_t> rows(static_cast<size_t>(width) * height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) rows[static_cast<size_t>(y) * width + x] = x + 10 * y;
  bool written = writer->SetPixelBlock(0, 0, width, height, rows.data());
  uint16_t seen = 0;
  bool read = reader->GetPixel(599, 299, &seen);
  std::printf("  pixel (599, 299) written by one opener, read by the other: %u\n", seen);
  check.Expect(written && read && seen == 599 + 2990,
               "the second opener sees the first one's writes");
  check.Expect(!reader->SetPixel(0, 0, &seen), "a read-only opener refuses writes");
  char head[264];
  check.Expect(ORVO_FN(lib, ReadRasterHead)(path.c_str(), head, sizeof(head)) == 264,
               "ReadRasterHead reaches the held file through its mapping");
  reader->Release();
  writer->Release();

  ITransformedRaster* map = ORVO_FN(lib, OpenTransformedRaster)(path.c_str(), true, false);
  check.Expect(map != nullptr && map->HasTransform(),
               "OpenTransformedRaster takes the control points");
  if (map == nullptr) return;
  BOUND box{};
  ORVO_FN(lib, GetRasterBoundary)(&box, map);
  std::printf("  pixel centres span %.3f..%.3f E, %.3f..%.3f N\n", box.minx, box.maxx, box.miny,
              box.maxy);
  // 33.125 E, 59.502 N: the pixel nearest column 312.0, row 149.3.
  uint16_t height_there = 0;
  bool found = ORVO_FN(lib, GetTransformedRasterValue)(&height_there, map, 33.125, 59.502);
  std::printf("  height at 33.125 E, 59.502 N (column 312, row 149): %u m\n", height_there);
  check.Expect(found && height_there == 312 + 1490,
               "GetTransformedRasterValue answers a map position");
  map->Release();
  std::filesystem::remove(corners);
  std::filesystem::remove(path);
}

}  // namespace orvotool
