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

#include "bench/bench_display_raster.h"
#include "orvoapi.h"

namespace {

constexpr int32_t kSize = 16000;
constexpr int32_t kW = 1920, kH = 1080;

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}
std::string RasterPath() { return (BenchDir() / "display.raster").string(); }
std::string TiffPath() { return (BenchDir() / "display.tif").string(); }

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
// Arg 1: from the overviews; 0: with them turned off.
void BM_GdalRasterIOBy8(benchmark::State& state) {
  orvobench::TimeReducedRead(state, TiffPath(), kW, kH, 8, state.range(0) == 1);
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
  orvobench::MakeDisplayRaster(RasterPath(), kSize, kSize);
#ifdef ORVO_BENCH_GDAL
  orvobench::MakeDisplayTiff(TiffPath(), kSize, kSize);
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchDir());
  return 0;
}
