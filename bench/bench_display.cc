// Display through the exports: 2-byte pixels through a DEM palette into DIB
// pixels, and a 1920 x 1080 window reduced by 8 from a 16,000 x 16,000
// raster of 2-byte pixels (256 x 256 tiles) without previews, sampling the
// tiles directly, then drawn into an image context. With GDAL present, the
// same samples as a tiled GeoTIFF with nearest overviews at 2, 4 and 8:
// RasterIO of the same 15,360 x 8,640 window into 1920 x 1080, from the
// overviews and, with them turned off, from the full resolution.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_gdal.h"
#include "orvoapi.h"

namespace {

constexpr int32_t kSize = 16000;
constexpr int32_t kTile = 256;
constexpr int32_t kW = 1920, kH = 1080;

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}
std::string RasterPath() { return (BenchDir() / "display.raster").string(); }
std::string TiffPath() { return (BenchDir() / "display.tif").string(); }

uint16_t Sample(int32_t tx, int32_t ty, int32_t i) {
  return static_cast<uint16_t>((tx * 37 + ty * 11 + i) % 3000);
}

void MakeRaster() {
  if (!CreateRaster(RasterPath().c_str(), kSize, kSize, kTile, kTile, 2, 0)) std::abort();
  IRaster* r = OpenRaster(RasterPath().c_str(), 300, false);
  if (r == nullptr) std::abort();
  for (int32_t ty = 0; ty < (kSize + kTile - 1) / kTile; ++ty)
    for (int32_t tx = 0; tx < (kSize + kTile - 1) / kTile; ++tx) {
      auto* tile = static_cast<uint16_t*>(r->GetTile(tx, ty));
      for (int32_t i = 0; i < kTile * kTile; ++i) tile[i] = Sample(tx, ty, i);
    }
  r->Release();
}

IPalette* DemPalette() {
  std::vector<uint16_t> heights(4096);
  for (size_t i = 0; i < heights.size(); ++i) heights[i] = static_cast<uint16_t>(i % 3000);
  return DemValues2Palette(heights.data(), static_cast<int32_t>(heights.size()));
}

void BM_Pixels2DibDem(benchmark::State& state) {
  IPalette* palette = DemPalette();
  std::vector<uint16_t> src(static_cast<size_t>(kW) * kH);
  std::mt19937 random(7);
  for (auto& v : src) v = static_cast<uint16_t>(random() % 3000);
  std::vector<uint8_t> dst(src.size() * 3);
  for (auto _ : state) {
    palette->Pixels2Dib(dst.data(), src.data(), 2, static_cast<int32_t>(src.size()));
    benchmark::DoNotOptimize(dst.data());
  }
  state.counters["Mpixels/s"] = benchmark::Counter(
      static_cast<double>(src.size()) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
  palette->Release();
}

void BM_DownScaleBy8(benchmark::State& state) {
  IRaster* r = OpenRaster(RasterPath().c_str(), 300, true);
  std::vector<uint16_t> window(static_cast<size_t>(kW) * kH);
  for (auto _ : state) {
    if (!RasterDownScale(window.data(), kW, kH, r, 0, 0, -8)) state.SkipWithError("failed");
    benchmark::DoNotOptimize(window.data());
  }
  r->Release();
}

void BM_Raster2DcBy8(benchmark::State& state) {
  IRaster* r = OpenRaster(RasterPath().c_str(), 300, true);
  IPalette* palette = DemPalette();
  HDC dc = CreateImageDC(kW, kH);
  for (auto _ : state) {
    if (!Raster2Dc(dc, 0, 0, kW, kH, r, 0, 0, -8, palette, SRCCOPY)) state.SkipWithError("failed");
  }
  FreeImageDC(dc);
  palette->Release();
  r->Release();
}

#ifdef ORVO_BENCH_GDAL
void MakeTiff() {
  orvobench::WriteTiledTiff(TiffPath(), kSize, kSize, GDT_UInt16,
                            [](int32_t tx, int32_t ty, void* p) {
                              auto* tile = static_cast<uint16_t*>(p);
                              for (int32_t i = 0; i < kTile * kTile; ++i)
                                tile[i] = Sample(tx, ty, i);
                            },
                            {2, 4, 8});
}

// Arg 1: from the overviews; 0: with them turned off.
void BM_GdalRasterIOBy8(benchmark::State& state) {
  GDALSetCacheMax64(int64_t{1} << 30);
  char* no_overviews[] = {const_cast<char*>("OVERVIEW_LEVEL=NONE"), nullptr};
  GDALDatasetH ds = GDALOpenEx(TiffPath().c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr,
                               state.range(0) == 0 ? no_overviews : nullptr, nullptr);
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  std::vector<uint16_t> window(static_cast<size_t>(kW) * kH);
  const auto read = [&] {
    if (GDALRasterIO(band, GF_Read, 0, 0, kW * 8, kH * 8, window.data(), kW, kH, GDT_UInt16, 0,
                     0) != CE_None)
      std::abort();
  };
  read();  // warm the block cache
  for (auto _ : state) {
    read();
    benchmark::DoNotOptimize(window.data());
  }
  GDALClose(ds);
}
#endif

}  // namespace

BENCHMARK(BM_Pixels2DibDem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownScaleBy8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Raster2DcBy8)->Unit(benchmark::kMillisecond)->UseRealTime();
#ifdef ORVO_BENCH_GDAL
BENCHMARK(BM_GdalRasterIOBy8)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr ? base : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-display-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(BenchDir());
  MakeRaster();
#ifdef ORVO_BENCH_GDAL
  MakeTiff();
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchDir());
  return 0;
}
