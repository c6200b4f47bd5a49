// DEM heights and triangle rasterization through the exports.
//
// BM_DemHeight asks 1,000,000 random map positions of a DEM of side 16,000
// (512 MB of samples in 256 x 256 tiles) or 1,000 (2 MB, mostly in cache);
// BM_PlainBilinear interpolates the same pixel positions over the same
// samples held in one array in memory, the bound a DEM query could reach.
// Target: DemHeight at least half as fast. BM_PlainBilinearMappedTiles runs
// the plain loop over the DEM file's own mapped tiles, which separates the
// cost of reaching the file's pages from the cost of the library's work.
// With GDAL present, BM_GdalBilinear reads the 2 x 2 samples of each query
// from the same samples as a tiled GeoTIFF through RasterIO (block cache
// warm) and blends them by hand. Target: DemHeight at least twice as fast.
// BM_RasterizeTriangleMesh burns 100,000 small triangles (two per 3 x 3
// pixel cell of a mesh, walked row by row as a triangulated surface is) into
// a 10,000 x 10,000 DEM; BM_RasterizeTriangleScattered puts each at a random
// place. Target: at least 1,000,000 triangles a second.
// Files go to a fresh directory under ORVO_BENCH_DIR (default: the system's
// temporary directory), removed at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_gdal.h"
#include "orvoapi.h"

namespace {

constexpr int32_t kDemSide = 16000;
constexpr int32_t kSmallSide = 1000;
constexpr int32_t kQueries = 1000000;
constexpr int32_t kBigSide = 10000;
constexpr int32_t kTriangles = 100000;
constexpr double kPixel = 30;  // map units a pixel

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}

// A DEM whose pixel (c, r) lies at map position (30 c + 15, 30 (side - 1 - r) + 15).
std::string MakeDem(const char* name, int32_t side, const std::vector<int16_t>* samples) {
  const std::string path = (BenchDir() / name).string();
  if (std::filesystem::exists(path)) return path;
  CreateRaster(path.c_str(), side, side, 256, 256, 2, 0);
  const BOUND bound{0, 0, kPixel * side, kPixel * side};
  WriteRasterBound((path + ".corners").c_str(), side, side, &bound);
  if (samples != nullptr) {
    IRaster* r = OpenRaster(path.c_str(), 0, false);
    if (r != nullptr) {
      r->SetPixelBlock(0, 0, side, side, samples->data());
      r->Release();
    }
  }
  return path;
}

struct Terrain {
  std::vector<int16_t> samples;
  std::vector<double> pixel;  // px, py per query
  std::vector<double> map;    // x, y per query
};

Terrain NewTerrain(int32_t side) {
  {
    Terrain t;
    t.samples.resize(size_t(side) * side);
    for (int32_t r = 0; r < side; ++r)
      for (int32_t c = 0; c < side; ++c)
        t.samples[size_t(r) * side + c] =
            static_cast<int16_t>(1000 + 800 * std::sin(c * 0.01) * std::cos(r * 0.013));
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> pos(0, side - 1);
    for (int32_t i = 0; i < kQueries; ++i) {
      const double px = pos(rng), py = pos(rng);
      t.pixel.push_back(px);
      t.pixel.push_back(py);
      t.map.push_back(kPixel * px + kPixel / 2);
      t.map.push_back(kPixel * (side - 1 - py) + kPixel / 2);
    }
    return t;
  }
}

const Terrain& GetTerrain(int32_t side) {
  static const Terrain big = NewTerrain(kDemSide), small = NewTerrain(kSmallSide);
  return side == kDemSide ? big : small;
}

std::string DemFile(int32_t side, const Terrain& t) {
  return MakeDem(side == kDemSide ? "dem.raster" : "small.raster", side, &t.samples);
}

void BM_DemHeight(benchmark::State& state) {
  const int32_t side = static_cast<int32_t>(state.range(0));
  const Terrain& t = GetTerrain(side);
  ITransformedRaster* dem = OpenDem(DemFile(side, t).c_str());
  if (dem == nullptr) {
    state.SkipWithError("OpenDem failed");
    return;
  }
  // Warm: one untimed pass faults the view's pages in, as a long-running
  // host would have them.
  double warm = 0;
  for (int32_t i = 0; i < kQueries; ++i) warm += DemHeight(dem, t.map[2 * i], t.map[2 * i + 1]);
  benchmark::DoNotOptimize(warm);
  for (auto _ : state) {
    double sum = 0;
    for (int32_t i = 0; i < kQueries; ++i) sum += DemHeight(dem, t.map[2 * i], t.map[2 * i + 1]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
  CloseDem(dem);
}
BENCHMARK(BM_DemHeight)->Arg(kDemSide)->Arg(kSmallSide)->Unit(benchmark::kMillisecond);

void BM_PlainBilinear(benchmark::State& state) {
  const int32_t side = static_cast<int32_t>(state.range(0));
  const Terrain& t = GetTerrain(side);
  const int16_t* s = t.samples.data();
  for (auto _ : state) {
    double sum = 0;
    for (int32_t i = 0; i < kQueries; ++i) {
      const double px = t.pixel[2 * i], py = t.pixel[2 * i + 1];
      const int32_t c = static_cast<int32_t>(px), r = static_cast<int32_t>(py);
      const double fx = px - c, fy = py - r;
      const int16_t* p = s + size_t(r) * side + c;
      const double top = (1 - fx) * p[0] + fx * p[1];
      const double bottom = (1 - fx) * p[side] + fx * p[side + 1];
      sum += (1 - fy) * top + fy * bottom;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_PlainBilinear)->Arg(kDemSide)->Arg(kSmallSide)->Unit(benchmark::kMillisecond);

// The plain loop over the tiles of the DEM file as they are mapped, each of
// the four samples read from its own tile. (64-bit builds map the whole file
// in one view, so every tile pointer stays valid.)
void BM_PlainBilinearMappedTiles(benchmark::State& state) {
  const int32_t side = static_cast<int32_t>(state.range(0));
  const Terrain& t = GetTerrain(side);
  ITransformedRaster* dem = OpenDem(DemFile(side, t).c_str());
  if (dem == nullptr) {
    state.SkipWithError("OpenDem failed");
    return;
  }
  const int32_t across = (side + 255) / 256;
  std::vector<const int16_t*> tiles(size_t(across) * across);
  for (int32_t ty = 0; ty < across; ++ty)
    for (int32_t tx = 0; tx < across; ++tx)
      tiles[size_t(ty) * across + tx] = static_cast<const int16_t*>(dem->GetTile(tx, ty));
  const auto at = [&](int32_t c, int32_t r) {
    return tiles[size_t(r >> 8) * across + (c >> 8)][(r & 255) * 256 + (c & 255)];
  };
  int64_t warm = 0;
  for (int32_t i = 0; i < kQueries; ++i)
    warm += at(static_cast<int32_t>(t.pixel[2 * i]), static_cast<int32_t>(t.pixel[2 * i + 1]));
  benchmark::DoNotOptimize(warm);
  for (auto _ : state) {
    double sum = 0;
    for (int32_t i = 0; i < kQueries; ++i) {
      const double px = t.pixel[2 * i], py = t.pixel[2 * i + 1];
      const int32_t c = static_cast<int32_t>(px), r = static_cast<int32_t>(py);
      const double fx = px - c, fy = py - r;
      const double top = (1 - fx) * at(c, r) + fx * at(c + 1, r);
      const double bottom = (1 - fx) * at(c, r + 1) + fx * at(c + 1, r + 1);
      sum += (1 - fy) * top + fy * bottom;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
  CloseDem(dem);
}
BENCHMARK(BM_PlainBilinearMappedTiles)
    ->Arg(kDemSide)
    ->Arg(kSmallSide)
    ->Unit(benchmark::kMillisecond);

#ifdef ORVO_BENCH_GDAL
void BM_GdalBilinear(benchmark::State& state) {
  const int32_t side = static_cast<int32_t>(state.range(0));
  const Terrain& t = GetTerrain(side);
  const std::string path = (BenchDir() / (std::to_string(side) + ".tif")).string();
  if (!std::filesystem::exists(path)) {
    orvobench::WriteTiledTiff(path, side, side, GDT_Int16, [&](int32_t tx, int32_t ty, void* p) {
      auto* tile = static_cast<int16_t*>(p);
      for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x) {
          const int32_t c = tx * 256 + x, r = ty * 256 + y;
          tile[y * 256 + x] = c < side && r < side ? t.samples[size_t(r) * side + c] : 0;
        }
    });
  }
  GDALSetCacheMax64(int64_t{1} << 30);
  GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
  GDALRasterBandH band = GDALGetRasterBand(ds, 1);
  int16_t s[4];
  const auto height = [&](double px, double py) {
    const int32_t c = static_cast<int32_t>(px), r = static_cast<int32_t>(py);
    if (GDALRasterIO(band, GF_Read, c, r, 2, 2, s, 2, 2, GDT_Int16, 0, 0) != CE_None) std::abort();
    const double fx = px - c, fy = py - r;
    return (1 - fy) * ((1 - fx) * s[0] + fx * s[1]) + fy * ((1 - fx) * s[2] + fx * s[3]);
  };
  double warm = 0;
  for (int32_t i = 0; i < kQueries; ++i) warm += height(t.pixel[2 * i], t.pixel[2 * i + 1]);
  benchmark::DoNotOptimize(warm);
  for (auto _ : state) {
    double sum = 0;
    for (int32_t i = 0; i < kQueries; ++i) sum += height(t.pixel[2 * i], t.pixel[2 * i + 1]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kQueries);
  GDALClose(ds);
}
BENCHMARK(BM_GdalBilinear)->Arg(kDemSide)->Arg(kSmallSide)->Unit(benchmark::kMillisecond);
#endif

// Triangles of a mesh of 3 x 3 pixel cells, two a cell, starting at pixel
// (origin, origin); or, scattered, each cell at a random place.
std::vector<double> MeshTriangles(bool scattered) {
  std::vector<double> xy;
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> pos(0, kBigSide - 4);
  const int32_t cells_across = 500;
  for (int32_t k = 0; k < kTriangles / 2; ++k) {
    double c = 100 + 3.0 * (k % cells_across) + 0.2, r = 100 + 3.0 * (k / cells_across) + 0.2;
    if (scattered) c = pos(rng), r = pos(rng);
    const double cell[4][2] = {{c, r}, {c + 3, r}, {c + 3, r + 3}, {c, r + 3}};
    for (int tri : {0, 1}) {
      const int v[3] = {0, tri == 0 ? 1 : 2, tri == 0 ? 2 : 3};
      for (int i : v) {
        xy.push_back(kPixel * cell[i][0] + kPixel / 2);
        xy.push_back(kPixel * (kBigSide - 1 - cell[i][1]) + kPixel / 2);
      }
    }
  }
  return xy;
}

void Rasterize(benchmark::State& state, bool scattered) {
  ITransformedRaster* dem =
      OpenTransformedRaster(MakeDem("big.raster", kBigSide, nullptr).c_str(), false, false);
  if (dem == nullptr) {
    state.SkipWithError("OpenTransformedRaster failed");
    return;
  }
  const std::vector<double> xy = MeshTriangles(scattered);
  const double z[3] = {100, 120, 140};
  for (auto _ : state) {
    for (int32_t i = 0; i < kTriangles; ++i)
      RasterizeTriangle(dem, 0, 0, 0, 0, 0, &xy[6 * size_t(i)], z, 0);
  }
  state.SetItemsProcessed(state.iterations() * kTriangles);
  dem->Release();
}

void BM_RasterizeTriangleMesh(benchmark::State& state) { Rasterize(state, false); }
BENCHMARK(BM_RasterizeTriangleMesh)->Unit(benchmark::kMillisecond);
void BM_RasterizeTriangleScattered(benchmark::State& state) { Rasterize(state, true); }
BENCHMARK(BM_RasterizeTriangleScattered)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr && *base != '\0'
                                   ? std::filesystem::path(base)
                                   : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-dem-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(BenchDir());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(BenchDir(), ignored);
  return 0;
}
