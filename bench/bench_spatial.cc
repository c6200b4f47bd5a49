// Spatial files through the exports, as a host walks them: 1,000,000 line
// objects of 10 vertices, in both forms. Reports file bytes per second of the
// walks, the writer's and the reader's side by side, and the limit of the
// machine measured in the same run: the binary file mapped afresh, every
// 8-byte word summed, unmapped. Files go to a fresh directory
// under ORVO_BENCH_DIR (default: the system's temporary directory), removed
// at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/file_reader.h"
#include "bench/bench_rates.h"
#include "orvoapi.h"

namespace {

constexpr int32_t kObjects = 1000000;
constexpr int32_t kVertices = 10;

std::filesystem::path& BenchDir() {
  static std::filesystem::path dir;
  return dir;
}

std::string BenchFile(const char* name) { return (BenchDir() / name).string(); }

int64_t FileSize(const std::string& path) {
  std::error_code ec;
  auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<int64_t>(size);
}

// Map-like coordinates with 16 significant digits, as real data has them.
void FillLine(int32_t id, double* xy) {
  for (int32_t i = 0; i < kVertices; ++i) {
    xy[2 * i] = 512345.6789 + id * 0.731 + i * 1.37e-3;
    xy[2 * i + 1] = 6123456.789 - id * 0.529 + i * 2.71e-3;
  }
}

// Writes the layer; false when a record was refused.
bool WriteLayer(const std::string& path, bool binary) {
  HSW writer = CreateExSW(path.c_str(), binary);
  if (writer == nullptr) return false;
  const int32_t counts[1] = {kVertices};
  double xy[2 * kVertices];
  bool ok = true;
  for (int32_t id = 1; id <= kObjects; ++id) {
    FillLine(id, xy);
    ok = ok && AddRecordSW(writer, id, 2, counts, xy, 1) >= 0;
  }
  FreeSW(writer);
  return ok;
}

const std::string& ReadFile(bool binary) {
  static std::string text_path, binary_path;
  std::string& path = binary ? binary_path : text_path;
  if (path.empty()) {
    path = BenchFile(binary ? "read.bspatial" : "read.spatial");
    if (!WriteLayer(path, binary)) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      std::exit(1);
    }
  }
  return path;
}

// NextSR + GetMetricSR, every coordinate read; false when the layer cannot
// be opened or objects are lost. Each coordinate's 8 bytes are summed as an
// integer, as the limit below sums the file's words: a floating-point sum
// would chain 20 dependent additions a record, a cost of the host's
// arithmetic (about 80 cycles a record), not of reading the layer. Binary
// arrays may be unaligned: read through memcpy, which compiles to plain loads.
bool Walk(const std::string& path, bool binary) {
  HSR reader = CreateExSR(path.c_str(), binary);
  if (reader == nullptr) return false;
  uint64_t sum = 0;
  int64_t objects = 0;
  while (NextSR(reader)) {
    const double* xy = GetMetricSR(reader);
    int32_t n = 2 * GetVertexCountSR(reader);
    for (int32_t i = 0; i < n; ++i) {
      uint64_t c;
      std::memcpy(&c, xy + i, sizeof c);
      sum += c;
    }
    ++objects;
  }
  FreeSR(reader);
  benchmark::DoNotOptimize(sum);
  return objects == kObjects;
}

void WalkLayer(benchmark::State& state, bool binary) {
  const std::string& path = ReadFile(binary);
  int64_t bytes = FileSize(path);
  for (auto _ : state) {
    if (!Walk(path, binary)) {
      state.SkipWithError("cannot walk the layer");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_BinaryWalk(benchmark::State& state) { WalkLayer(state, true); }
void BM_TextRead(benchmark::State& state) { WalkLayer(state, false); }

// The limit: a fresh mapping of the same binary file, every 8-byte word summed.
void BM_MappedFileLimit(benchmark::State& state) {
  const std::string& path = ReadFile(true);
  int64_t bytes = FileSize(path);
  for (auto _ : state) {
    orvo::TFileReader file(path.c_str());
    const uint8_t* p = file.Data();
    size_t words = file.Size() / 8;
    uint64_t sum = 0;
    for (size_t i = 0; i < words; ++i) {
      uint64_t w;
      std::memcpy(&w, p + 8 * i, sizeof w);
      sum += w;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

// Each iteration writes the layer and walks it: the counters put the writer's
// and the reader's bytes per second side by side.
void WriteAndWalk(benchmark::State& state, bool binary) {
  std::string path = BenchFile(binary ? "write.bspatial" : "write.spatial");
  orvobench::WriteAndWalkLayer(
      state, path, [&] { return WriteLayer(path, binary); }, [&] { return Walk(path, binary); });
}

void BM_BinaryWriteAndWalk(benchmark::State& state) { WriteAndWalk(state, true); }
void BM_TextWriteAndWalk(benchmark::State& state) { WriteAndWalk(state, false); }

}  // namespace

BENCHMARK(BM_MappedFileLimit)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BinaryWalk)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TextRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BinaryWriteAndWalk)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TextWriteAndWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
  const char* base = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path root = base != nullptr && *base != '\0'
                                   ? std::filesystem::path(base)
                                   : std::filesystem::temp_directory_path();
  BenchDir() = root / ("orvo-bench-spatial-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(BenchDir());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove_all(BenchDir(), ignored);
  return 0;
}
