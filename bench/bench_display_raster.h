// The raster the display benchmarks draw: 2-byte heights in 256 x 256
// tiles, as a raster file and, for the peer, as a GeoTIFF with overviews.
#ifndef BENCH_BENCH_DISPLAY_RASTER_H_
#define BENCH_BENCH_DISPLAY_RASTER_H_

#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench/bench_gdal.h"
#include "orvoapi.h"

namespace orvobench {

constexpr int32_t kDisplayTile = 256;

// Sample i of tile (tx, ty): heights 0..2999.
inline uint16_t DisplaySample(int32_t tx, int32_t ty, int32_t i) {
  return static_cast<uint16_t>((tx * 37 + ty * 11 + i) % 3000);
}

inline void MakeDisplayRaster(const std::string& path, int32_t width, int32_t height) {
  if (!CreateRaster(path.c_str(), width, height, kDisplayTile, kDisplayTile, 2, 0)) std::abort();
  IRaster* r = OpenRaster(path.c_str(), 300, false);
  if (r == nullptr) std::abort();
  for (int32_t ty = 0; ty < (height + kDisplayTile - 1) / kDisplayTile; ++ty)
    for (int32_t tx = 0; tx < (width + kDisplayTile - 1) / kDisplayTile; ++tx) {
      auto* tile = static_cast<uint16_t*>(r->GetTile(tx, ty));
      for (int32_t i = 0; i < kDisplayTile * kDisplayTile; ++i) tile[i] = DisplaySample(tx, ty, i);
    }
  r->Release();
}

#ifdef ORVO_BENCH_GDAL
// The same samples with nearest overviews at 2, 4 and 8.
inline void MakeDisplayTiff(const std::string& path, int32_t width, int32_t height) {
  WriteTiledTiff(path, width, height, GDT_UInt16,
                 [](int32_t tx, int32_t ty, void* p) {
                   auto* tile = static_cast<uint16_t*>(p);
                   for (int32_t i = 0; i < kDisplayTile * kDisplayTile; ++i)
                     tile[i] = DisplaySample(tx, ty, i);
                 },
                 {2, 4, 8});
}
#endif

}  // namespace orvobench

#endif  // BENCH_BENCH_DISPLAY_RASTER_H_
