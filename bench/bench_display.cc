// Display through the exports: 2-byte pixels through a DEM palette into DIB
// pixels, and a 1920 x 1080 window reduced by 8 from a 16,000 x 16,000
// raster of 2-byte pixels (256 x 256 tiles) without previews, sampling the
// tiles directly, then drawn into an image context.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

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

void MakeRaster() {
  if (!CreateRaster(RasterPath().c_str(), kSize, kSize, kTile, kTile, 2, 0)) std::abort();
  IRaster* r = OpenRaster(RasterPath().c_str(), 300, false);
  if (r == nullptr) std::abort();
  for (int32_t ty = 0; ty < (kSize + kTile - 1) / kTile; ++ty)
    for (int32_t tx = 0; tx < (kSize + kTile - 1) / kTile; ++tx) {
      auto* tile = static_cast<uint16_t*>(r->GetTile(tx, ty));
      for (int32_t i = 0; i < kTile * kTile; ++i)
        tile[i] = static_cast<uint16_t>((tx * 37 + ty * 11 + i) % 3000);
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

}  // namespace

BENCHMARK(BM_Pixels2DibDem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownScaleBy8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Raster2DcBy8)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr ? base : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-display-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(BenchDir());
  MakeRaster();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchDir());
  return 0;
}
