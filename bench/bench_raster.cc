// Rasters through the exports, as a host reads them: a 16,000 x 16,000
// raster of 2-byte pixels in 256 x 256 tiles (fixed layout, 512 MB), page
// cache warm, one process. Beside each figure the machine's limits measured
// in the same run: the file mapped afresh and summed, and read() into a
// reused buffer. With GDAL present (found by CMake), the same raster as a
// tiled GeoTIFF is read through RasterIO for comparison. Files go to a fresh
// directory under ORVO_BENCH_DIR (default: the system's temporary
// directory), removed at the end.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_gdal.h"
#include "orvoapi.h"
#include "platform/win32.h"

namespace {

constexpr int32_t kSize = 16000;
constexpr int32_t kTile = 256;
constexpr int32_t kPixel = 2;
constexpr int32_t kTiles = (kSize + kTile - 1) / kTile;
constexpr int64_t kTileBytes = int64_t{kTile} * kTile * kPixel;

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}
std::string RasterPath() { return (BenchDir() / "bench.raster").string(); }
std::string TiffPath() { return (BenchDir() / "bench.tif").string(); }

int64_t FileBytes() { return static_cast<int64_t>(std::filesystem::file_size(RasterPath())); }

uint64_t SumWords(const uint8_t* p, size_t n) {
  uint64_t s = 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    s += w;
  }
  for (; i < n; ++i) s += p[i];
  return s;
}

// Pixel (x, y) holds a value made of its position, so sums are not trivial.
void MakeRaster() {
  if (!CreateRaster(RasterPath().c_str(), kSize, kSize, kTile, kTile, kPixel, 0)) std::abort();
  IRaster* r = OpenRaster(RasterPath().c_str(), 300, false);
  if (r == nullptr) std::abort();
  for (int32_t ty = 0; ty < kTiles; ++ty)
    for (int32_t tx = 0; tx < kTiles; ++tx) {
      auto* tile = static_cast<uint16_t*>(r->GetTile(tx, ty));
      for (int32_t i = 0; i < kTile * kTile; ++i) tile[i] = static_cast<uint16_t>(tx * 31 + ty + i);
    }
  r->Release();
}

// Map the whole file, sum every word, unmap: what a fresh mapping costs.
void BM_FreshMappingSum(benchmark::State& state) {
  uint64_t sum = 0;
  for (auto _ : state) {
    HANDLE file = CreateFileA(RasterPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) std::abort();
    sum += SumWords(static_cast<const uint8_t*>(view), static_cast<size_t>(FileBytes()));
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(state.iterations() * FileBytes());
}

// read() into one reused buffer: the page cache's copy speed.
void BM_ReadIntoBufferSum(benchmark::State& state) {
  std::vector<uint8_t> buffer(1 << 20);
  uint64_t sum = 0;
  for (auto _ : state) {
    HANDLE file = CreateFileA(RasterPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
           got > 0)
      sum += SumWords(buffer.data(), got);
    CloseHandle(file);
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(state.iterations() * FileBytes());
}

// Every tile through GetTile, summed, with a fresh raster object each time.
void BM_GetTileSum(benchmark::State& state) {
  const int32_t cache_mb = static_cast<int32_t>(state.range(0));
  uint64_t sum = 0;
  for (auto _ : state) {
    IRaster* r = OpenRaster(RasterPath().c_str(), cache_mb, true);
    for (int32_t ty = 0; ty < kTiles; ++ty)
      for (int32_t tx = 0; tx < kTiles; ++tx)
        sum += SumWords(static_cast<const uint8_t*>(r->GetTile(tx, ty)), kTileBytes);
    r->Release();
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(state.iterations() * kTiles * kTiles * kTileBytes);
}

// Random 256 x 256 windows, one raster object kept open (its view warm).
void BM_RandomBlocks(benchmark::State& state) {
  IRaster* r = OpenRaster(RasterPath().c_str(), static_cast<int32_t>(state.range(0)), true);
  std::vector<uint16_t> block(256 * 256);
  std::mt19937 rng(1);
  for (auto _ : state) {
    int32_t x = static_cast<int32_t>(rng() % (kSize - 256));
    int32_t y = static_cast<int32_t>(rng() % (kSize - 256));
    benchmark::DoNotOptimize(r->GetPixelBlock(x, y, 256, 256, block.data()));
  }
  r->Release();
  state.SetItemsProcessed(state.iterations());
}

#ifdef ORVO_BENCH_GDAL
void MakeTiff() {
  orvobench::WriteTiledTiff(TiffPath(), kSize, kSize, GDT_UInt16,
                            [](int32_t tx, int32_t ty, void* p) {
                              auto* tile = static_cast<uint16_t*>(p);
                              for (int32_t i = 0; i < kTile * kTile; ++i)
                                tile[i] = static_cast<uint16_t>(tx * 31 + ty + i);
                            });
}

// GDAL's RasterIO on the same windows, its block cache large enough to be warm.
void BM_GdalRandomBlocks(benchmark::State& state) {
  GDALSetCacheMax64(int64_t{1} << 30);
  GDALDatasetH ds = GDALOpen(TiffPath().c_str(), GA_ReadOnly);
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  std::vector<uint16_t> block(256 * 256);
  std::mt19937 rng(1);
  // Warm the block cache with one full pass.
  for (int32_t y = 0; y < kSize; y += 256)
    for (int32_t x = 0; x + 256 <= kSize; x += 256)
      if (GDALRasterIO(band, GF_Read, x, y, 256, std::min(256, kSize - y), block.data(), 256,
                       std::min(256, kSize - y), GDT_UInt16, 0, 0) != CE_None)
        std::abort();
  for (auto _ : state) {
    int32_t x = static_cast<int32_t>(rng() % (kSize - 256));
    int32_t y = static_cast<int32_t>(rng() % (kSize - 256));
    benchmark::DoNotOptimize(
        GDALRasterIO(band, GF_Read, x, y, 256, 256, block.data(), 256, 256, GDT_UInt16, 0, 0));
  }
  GDALClose(ds);
  state.SetItemsProcessed(state.iterations());
}
#endif

// A tile-sized buffer of runs of varied length, as elevation tiles have.
std::vector<uint8_t> RunnyTile() {
  std::vector<uint8_t> tile(kTileBytes);
  std::mt19937 rng(3);
  size_t at = 0;
  while (at < tile.size()) {
    uint16_t v = static_cast<uint16_t>(rng() % 50);
    size_t run = 1 + rng() % 64;
    for (size_t i = 0; i < run && at < tile.size(); ++i, at += 2) std::memcpy(&tile[at], &v, 2);
  }
  return tile;
}

// The plain byte loops the library's coder is measured against.
int64_t PlainCompress(uint8_t* dst, const uint8_t* src, int64_t n, int64_t p) {
  int64_t out = 0, at = 0;
  while (at < n) {
    int64_t count = 1;
    while (at + count * p < n && count < 65535 &&
           std::memcmp(src + at, src + at + count * p, static_cast<size_t>(p)) == 0)
      ++count;
    if (out + 2 + p > n) return 0;
    uint16_t c = static_cast<uint16_t>(count);
    std::memcpy(dst + out, &c, 2);
    for (int64_t i = 0; i < p; ++i) dst[out + 2 + i] = src[at + i];
    out += 2 + p;
    at += count * p;
  }
  return out < n ? out : 0;
}
bool PlainDecompress(uint8_t* dst, int64_t n, const uint8_t* src, int64_t m, int64_t p) {
  int64_t in = 0, out = 0;
  while (in + 2 + p <= m && out < n) {
    uint16_t c;
    std::memcpy(&c, src + in, 2);
    if (out + c * p > n) return false;
    for (int64_t k = 0; k < c; ++k)
      for (int64_t i = 0; i < p; ++i) dst[out++] = src[in + 2 + i];
    in += 2 + p;
  }
  return out == n;
}

void BM_RleCompress(benchmark::State& state) {
  const bool plain = state.range(0) != 0;
  std::vector<uint8_t> tile = RunnyTile(), out(tile.size());
  for (auto _ : state)
    benchmark::DoNotOptimize(plain ? PlainCompress(out.data(), tile.data(), kTileBytes, kPixel)
                                   : RleCompress(out.data(), tile.data(), kTileBytes, kPixel));
  state.SetLabel(plain ? "plain byte loop" : "library");
  state.SetBytesProcessed(state.iterations() * kTileBytes);
}

void BM_RleDecompress(benchmark::State& state) {
  const bool plain = state.range(0) != 0;
  std::vector<uint8_t> tile = RunnyTile(), stream(tile.size()), out(tile.size());
  const int32_t n = RleCompress(stream.data(), tile.data(), kTileBytes, kPixel);
  for (auto _ : state)
    benchmark::DoNotOptimize(plain
                                 ? PlainDecompress(out.data(), kTileBytes, stream.data(), n, kPixel)
                                 : RleDecompress(out.data(), kTileBytes, stream.data(), n, kPixel));
  state.SetLabel(plain ? "plain byte loop" : "library");
  state.SetBytesProcessed(state.iterations() * kTileBytes);
}

// Opening a raster that another object of the process already holds.
void BM_OpenReleaseShared(benchmark::State& state) {
  IRaster* holder = OpenRaster(RasterPath().c_str(), 1, false);
  for (auto _ : state) {
    IRaster* r = OpenRaster(RasterPath().c_str(), 1, true);
    if (r == nullptr) std::abort();
    r->Release();
  }
  holder->Release();
}

}  // namespace

BENCHMARK(BM_FreshMappingSum)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadIntoBufferSum)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GetTileSum)->Arg(300)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RandomBlocks)->Arg(300)->Arg(10)->UseRealTime();
#ifdef ORVO_BENCH_GDAL
BENCHMARK(BM_GdalRandomBlocks)->UseRealTime();
#endif
BENCHMARK(BM_RleCompress)->Arg(0)->Arg(1);
BENCHMARK(BM_RleDecompress)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenReleaseShared)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr ? base : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-raster-" + std::to_string(std::random_device{}()));
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
