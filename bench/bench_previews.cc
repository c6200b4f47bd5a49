// Previews: building them for a 15,360 x 8,640 raster of 2-byte heights
// (256 x 256 tiles, factors 2 to 64) as `orvo previews` does, and a
// 1920 x 1080 view of it reduced by 8 through a DEM palette, drawn once
// from the raster itself (sampling its tiles) and once from its factor-8
// preview (read one to one); the view's preparation alone (the preview's
// pixels into its buffer) from that preview. With GDAL present, RasterIO of
// the same 15,360 x 8,640 window into 1920 x 1080 from a tiled GeoTIFF of the
// same samples with nearest overviews at 2, 4 and 8, block cache warm.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_display_raster.h"
#include "orvoapi.h"
#include "tools/orvo/raster_previews.h"

namespace {

constexpr int32_t kWidth = 15360, kHeight = 8640;
constexpr int32_t kW = 1920, kH = 1080;

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}
std::string RasterPath() { return (BenchDir() / "terrain.raster").string(); }
std::string TiffPath() { return (BenchDir() / "terrain.tif").string(); }

void Build() {
  orvotool::BuildPreviews(RasterPath(), [](int64_t, int64_t) {});
}

void RemovePreviews() {
  for (int32_t f = 2; f <= 64; f *= 2)
    std::filesystem::remove(orvotool::PreviewPath(RasterPath(), f));
}

IPalette* DemPalette() {
  std::vector<uint16_t> heights(3000);
  for (size_t i = 0; i < heights.size(); ++i) heights[i] = static_cast<uint16_t>(i);
  return DemValues2Palette(heights.data(), static_cast<int32_t>(heights.size()));
}

void BM_BuildPreviews(benchmark::State& state) {
  for (auto _ : state) Build();
  state.counters["raster Mpixels/s"] =
      benchmark::Counter(static_cast<double>(kWidth) * kHeight * state.iterations() / 1e6,
                         benchmark::Counter::kIsRate);
}

void ViewBy8(benchmark::State& state) {
  IRasterView* view = OpenRasterView(RasterPath().c_str());
  IPalette* palette = DemPalette();
  HDC dc = CreateImageDC(kW, kH);
  if (view == nullptr || palette == nullptr || dc == nullptr) std::abort();
  for (auto _ : state) {
    if (!view->Render(dc, 0, 0, kW, kH, 0, 0, -8, palette, SRCCOPY)) state.SkipWithError("failed");
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  FreeImageDC(dc);
  palette->Release();
  view->Release();
}

void BM_ViewBy8FromRaster(benchmark::State& state) {
  RemovePreviews();
  ViewBy8(state);
}

void BM_ViewBy8FromPreview(benchmark::State& state) {
  if (!IsRasterPreviewPresent(RasterPath().c_str())) Build();
  ViewBy8(state);
}

void BM_PrepareBy8FromPreview(benchmark::State& state) {
  if (!IsRasterPreviewPresent(RasterPath().c_str())) Build();
  IRasterView* view = OpenRasterView(RasterPath().c_str());
  HDC dc = CreateImageDC(kW, kH);
  if (view == nullptr || dc == nullptr) std::abort();
  for (auto _ : state) {
    if (!view->Prepare(dc, kW, kH, 0, 0, -8)) state.SkipWithError("failed");
  }
  FreeImageDC(dc);
  view->Release();
}

#ifdef ORVO_BENCH_GDAL
void BM_GdalRasterIOBy8FromOverview(benchmark::State& state) {
  if (!std::filesystem::exists(TiffPath())) orvobench::MakeDisplayTiff(TiffPath(), kWidth, kHeight);
  orvobench::TimeReducedRead(state, TiffPath(), kW, kH, 8, /*overviews=*/true);
}
#endif

}  // namespace

BENCHMARK(BM_ViewBy8FromRaster)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildPreviews)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ViewBy8FromPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrepareBy8FromPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
#ifdef ORVO_BENCH_GDAL
BENCHMARK(BM_GdalRasterIOBy8FromOverview)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr ? base : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-previews-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(BenchDir());
  orvobench::MakeDisplayRaster(RasterPath(), kWidth, kHeight);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchDir());
  return 0;
}
