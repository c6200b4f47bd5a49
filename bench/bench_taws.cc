// Terrain tile sets through the exports: 100 tiles of 1201 x 1201 samples
// (10 x 10 degrees, 577 MB), page cache warm, every pixel read once through
// GetPixelBlock in 1200 x 1200 blocks, beside what the same bytes cost read
// straight from a fresh mapping of each tile file (the raster's rows of it
// copied to the same buffer). And `orvo import-hgt` of one 3601 x 3601 cell.
// Files go to a fresh directory under ORVO_BENCH_DIR (default: the system's
// temporary directory), removed at the end.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "platform/win32.h"
#include "taws/taws_tile.h"
#include "tools/orvo/import_hgt.h"

namespace {

constexpr int32_t kCells = 10;  // a side
constexpr int32_t kN = 1200;

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}
std::string ListPath() { return (BenchDir() / "set.tawslist").string(); }
std::vector<std::string>& TilePaths() {
  static std::vector<std::string> paths;
  return paths;
}

void MakeSet() {
  std::string list;
  for (int32_t row = 0; row < kCells; ++row)
    for (int32_t column = 0; column < kCells; ++column) {
      const int32_t lon = 20 + column, lat = 59 - row;
      orvo::TTawsMap tile(BenchDir().string().c_str(), lon, lat, kN);
      int16_t* grid = tile.MutableGrid();
      for (int32_t i = 0; i < (kN + 1) * (kN + 1); ++i)
        grid[i] = static_cast<int16_t>((i * 7 + lon) % 3000);
      std::string name = orvo::TawsTileName("", lon, lat).substr(1);
      TilePaths().push_back((BenchDir() / name).string());
      list += std::to_string(row * kCells + column + 1) + ", " + std::to_string(lon) + ", " +
              std::to_string(lat) + ", " + std::to_string(lon + 1) + ", " +
              std::to_string(lat + 1) + ", " + name + "\r\n";
    }
  std::ofstream(ListPath(), std::ios::binary) << list;
}

constexpr int64_t kSetBytes = int64_t{kCells} * kCells * kN * kN * 2;

void BM_SetBlocks(benchmark::State& state) {
  std::vector<int16_t> block(static_cast<size_t>(kN) * kN);
  for (auto _ : state) {
    IRaster* r = OpenTawsesRaster(ListPath().c_str(), true);
    if (r == nullptr) std::abort();
    for (int32_t ty = 0; ty < kCells; ++ty)
      for (int32_t tx = 0; tx < kCells; ++tx)
        if (!r->GetPixelBlock(tx * kN, ty * kN, kN, kN, block.data())) std::abort();
    benchmark::DoNotOptimize(block.data());
    r->Release();
  }
  state.SetBytesProcessed(state.iterations() * kSetBytes);
}

// Each tile file mapped afresh and its raster rows copied out.
void BM_FreshMappingRows(benchmark::State& state) {
  std::vector<int16_t> block(static_cast<size_t>(kN) * kN);
  for (auto _ : state) {
    for (const std::string& path : TilePaths()) {
      HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
      void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
      if (view == nullptr) std::abort();
      const auto* grid = reinterpret_cast<const int16_t*>(static_cast<const uint8_t*>(view) + 140);
      for (int32_t r = 0; r < kN; ++r)
        std::memcpy(&block[static_cast<size_t>(r) * kN], grid + r * (kN + 1), kN * 2);
      benchmark::DoNotOptimize(block.data());
      UnmapViewOfFile(view);
      CloseHandle(mapping);
      CloseHandle(file);
    }
  }
  state.SetBytesProcessed(state.iterations() * kSetBytes);
}

void BM_ImportHgt3601(benchmark::State& state) {
  const std::string hgt = (BenchDir() / "N10E010.hgt").string();
  {
    std::vector<uint8_t> bytes(3601u * 3601u * 2u);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 13 >> 3);
    std::ofstream(hgt, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  const std::string out = (BenchDir() / "imported").string();
  const char* args[] = {out.c_str(), hgt.c_str()};
  for (auto _ : state)
    if (orvotool::RunImportHgt(2, args, stdout, stderr) != 0) std::abort();
  state.SetBytesProcessed(state.iterations() * int64_t{3601} * 3601 * 2);
}

}  // namespace

BENCHMARK(BM_FreshMappingRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportHgt3601)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr ? base : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-taws-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(BenchDir());
  MakeSet();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(BenchDir());
  return 0;
}
