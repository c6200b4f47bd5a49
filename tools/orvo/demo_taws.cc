// Demo: a terrain tile set imported from two SRTM cells, read as one raster,
// as a DEM with its own georeference, and described as a raster head.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/orvo/demo.h"
#include "tools/orvo/import_hgt.h"

namespace orvotool {

namespace {

// A made-up hill: height at sample (row, column) of the cell lon E, 59 N.
int16_t Hill(int32_t lon, int32_t r, int32_t c) {
  if (r == 600 && c == 600) return -32768;  // one void
  return static_cast<int16_t>(lon * 10 + (1200 - r) / 4 + c / 8);
}

void WriteHgt(const std::string& path, int32_t lon) {
  std::vector<uint8_t> bytes(1201u * 1201u * 2u);
  for (int32_t r = 0; r < 1201; ++r)
    for (int32_t c = 0; c < 1201; ++c) {
      const uint16_t v = static_cast<uint16_t>(Hill(lon, r, c));
      bytes[(r * 1201u + c) * 2] = static_cast<uint8_t>(v >> 8);  // big-endian
      bytes[(r * 1201u + c) * 2 + 1] = static_cast<uint8_t>(v);
    }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace

void DemoTaws(const HostLibrary& lib, const std::string& dir, Checker& check) {
  std::printf("terrain tiles (SRTM import, one raster over the tiles, heights in degrees)\n");
  const std::filesystem::path base(dir);
  const std::string tiles = (base / "tiles").string();
  const std::string west = (base / "N59E030.hgt").string(), east = (base / "N59E031.hgt").string();
  WriteHgt(west, 30);
  WriteHgt(east, 31);
  const char* args[] = {"--progress", tiles.c_str(), west.c_str(), east.c_str()};
  std::printf("  orvo import-hgt --progress %s N59E030.hgt N59E031.hgt\n  ", tiles.c_str());
  const int code = RunImportHgt(4, args, stdout, stderr);
  check.Expect(code == 0, "import-hgt makes two tiles and their list");
  const std::string list = (std::filesystem::path(tiles) / kTileListName).string();

  IRaster* set = ORVO_FN(lib, OpenRaster)(list.c_str(), 10, true);
  check.Expect(set != nullptr && set->GetWidth() == 2400 && set->GetHeight() == 1200,
               "OpenRaster of the list: 2400 x 1200 pixels in 1200 x 1200 tiles");
  if (set == nullptr) return;
  int16_t h = 0;
  check.Expect(!set->SetPixel(0, 0, &h), "a read-only set refuses writes");
  set->Release();

  ITransformedRaster* dem = ORVO_FN(lib, OpenDem)(list.c_str());
  check.Expect(dem != nullptr, "OpenDem takes the set's own georeference");
  if (dem == nullptr) return;
  // 31.25 E, 59.5 N: the centre of sample (600, 300) of the eastern cell.
  const double d = 1.0 / 1200;
  const double height = ORVO_FN(lib, DemHeight)(dem, 31.25 + d / 2, 59.5 - d / 2);
  std::printf("  height at 31.25 E, 59.5 N: %.1f m\n", height);
  check.Expect(std::fabs(height - Hill(31, 600, 300)) < 1e-6, "DemHeight answers a position");
  const double beside_void = ORVO_FN(lib, DemHeight)(dem, 30.5 + d / 2, 59.5 - d);
  std::printf("  height beside the void at 30.5 E, 59.5 N: %.1f m\n", beside_void);
  check.Expect(beside_void < 9998, "a void is bridged by its neighbours");
  ORVO_FN(lib, CloseDem)(dem);

  char head[264] = {};
  check.Expect(ORVO_FN(lib, ReadRasterHeadEx)(list.c_str(), head, sizeof(head)) == 264,
               "ReadRasterHeadEx describes the set as a raster head");
  check.Expect(
      ORVO_FN(lib, WriteTawsesBound)(list.c_str()) && std::filesystem::exists(list + ".corners"),
      "WriteTawsesBound writes the set's control points");
  std::filesystem::remove_all(tiles);
  std::filesystem::remove(west);
  std::filesystem::remove(east);
}

}  // namespace orvotool
