// The peer the benchmarks compare with, when CMake found GDAL
// (ORVO_BENCH_GDAL): the same samples as a tiled GeoTIFF.
#ifndef BENCH_BENCH_GDAL_H_
#define BENCH_BENCH_GDAL_H_

#ifdef ORVO_BENCH_GDAL
#include <benchmark/benchmark.h>
#include <gdal.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace orvobench {

// A width x height GeoTIFF of one band of type in 256 x 256 tiles; fill(tx, ty,
// tile) writes tile (tx, ty) (256 x 256 samples, edge tiles padded). With
// overview factors (2, 4, ...), nearest-neighbour overviews are built too.
inline void WriteTiledTiff(const std::string& path, int32_t width, int32_t height,
                           GDALDataType type,
                           const std::function<void(int32_t, int32_t, void*)>& fill,
                           std::vector<int> overviews = {}) {
  constexpr int32_t kTile = 256;
  GDALAllRegister();
  GDALDriverH driver = GDALGetDriverByName("GTiff");
  char* options[] = {const_cast<char*>("TILED=YES"), const_cast<char*>("BLOCKXSIZE=256"),
                     const_cast<char*>("BLOCKYSIZE=256"), nullptr};
  GDALDatasetH ds = GDALCreate(driver, path.c_str(), width, height, 1, type, options);
  if (ds == nullptr) std::abort();
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  std::vector<uint8_t> tile(size_t{kTile} * kTile * GDALGetDataTypeSizeBytes(type));
  for (int32_t ty = 0; ty < (height + kTile - 1) / kTile; ++ty)
    for (int32_t tx = 0; tx < (width + kTile - 1) / kTile; ++tx) {
      fill(tx, ty, tile.data());
      if (GDALWriteBlock(band, tx, ty, tile.data()) != CE_None) std::abort();
    }
  if (!overviews.empty() &&
      GDALBuildOverviews(ds, "NEAREST", static_cast<int>(overviews.size()), overviews.data(), 0,
                         nullptr, nullptr, nullptr) != CE_None)
    std::abort();
  GDALClose(ds);
}

// Times RasterIO of the (w * factor) x (h * factor) window at (0, 0) into
// w x h 16-bit samples, the block cache warmed by one untimed read; from the
// overviews or, without them, from the full resolution.
inline void TimeReducedRead(benchmark::State& state, const std::string& path, int32_t w, int32_t h,
                            int32_t factor, bool overviews) {
  GDALSetCacheMax64(int64_t{1} << 30);
  char* no_overviews[] = {const_cast<char*>("OVERVIEW_LEVEL=NONE"), nullptr};
  GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr,
                               overviews ? nullptr : no_overviews, nullptr);
  if (ds == nullptr) std::abort();
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  std::vector<uint16_t> window(static_cast<size_t>(w) * h);
  const auto read = [&] {
    if (GDALRasterIO(band, GF_Read, 0, 0, w * factor, h * factor, window.data(), w, h, GDT_UInt16,
                     0, 0) != CE_None)
      std::abort();
  };
  read();
  for (auto _ : state) {
    read();
    benchmark::DoNotOptimize(window.data());
  }
  GDALClose(ds);
}

}  // namespace orvobench

#endif  // ORVO_BENCH_GDAL
#endif  // BENCH_BENCH_GDAL_H_
