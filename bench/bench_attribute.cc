// Attribute files through the exports, as a host walks them: 1,000,000
// records with an integer, a double and a string attribute, in both forms.
// Reports file bytes per second of the walks, the writer's and the reader's
// side by side, and the limit of a fresh mapping. Files go to ORVO_BENCH_DIR
// (default: the system's temporary directory) and are removed at the end.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_reader.h"
#include "bench/bench_rates.h"
#include "orvoapi.h"

namespace {

constexpr int32_t kRecords = 1000000;

std::string BenchFile(const char* name) {
  const char* dir = std::getenv("ORVO_BENCH_DIR");
  std::filesystem::path base = dir != nullptr && *dir != '\0'
                                   ? std::filesystem::path(dir)
                                   : std::filesystem::temp_directory_path();
  return (base / name).string();
}

int64_t FileSize(const std::string& path) {
  std::error_code ec;
  auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<int64_t>(size);
}

// Street names that vary in length like real data, formatted once so that the
// writer's figures are the writer's.
const std::vector<std::string>& StreetNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n(9973);
    for (size_t i = 0; i < n.size(); ++i) n[i] = "Street number " + std::to_string(i);
    return n;
  }();
  return names;
}

void WriteLayer(const std::string& path, bool binary) {
  HAW writer = CreateExAW(path.c_str(), binary);
  if (writer == nullptr) {
    std::fprintf(stderr, "cannot create %s\n", path.c_str());
    std::exit(1);
  }
  const std::vector<std::string>& names = StreetNames();
  for (int32_t id = 1; id <= kRecords; ++id) {
    AddRecordAW(writer, id, id * 7, "ROAD");
    AddIntAttributeAW(writer, "1", id * 13);
    AddDoubleAttributeAW(writer, "2", id * 0.37 + 1e-3);
    AddAttributeAW(writer, "3", names[id % names.size()].c_str());
  }
  FreeAW(writer);
}

// Every record's id, integer, double and string; false when records are lost.
bool Walk(const std::string& path, bool binary) {
  HAR reader = CreateExAR(path.c_str(), binary);
  if (reader == nullptr) return false;
  char text[64];
  int64_t sum = 0;
  double total = 0.0;
  int64_t records = 0;
  ResetAR(reader);
  while (NextAR(reader)) {
    sum += GetIdAR(reader) + GetIntAttributeAR(reader, 0);
    total += GetDoubleAttributeAR(reader, 1);
    GetAttributeAR(reader, 2, text, sizeof(text));
    sum += text[0];
    ++records;
  }
  FreeAR(reader);
  benchmark::DoNotOptimize(sum);
  benchmark::DoNotOptimize(total);
  return records == kRecords;
}

void WalkLayer(benchmark::State& state, const std::string& path, bool binary) {
  if (!Walk(path, binary)) state.SkipWithError("cannot walk the layer");
}

const std::string& ReadFile(bool binary) {
  static std::string text_path, binary_path;
  std::string& path = binary ? binary_path : text_path;
  if (path.empty()) {
    path = BenchFile(binary ? "orvo_bench_read.battribute" : "orvo_bench_read.attribute");
    WriteLayer(path, binary);
  }
  return path;
}

void BM_ReadAttributes(benchmark::State& state) {
  bool binary = state.range(0) != 0;
  const std::string& path = ReadFile(binary);
  WalkLayer(state, path, binary);  // warms the page cache
  for (auto _ : state) WalkLayer(state, path, binary);
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.SetLabel(binary ? "binary" : "text");
}

// The limit for a walk of the binary file: map it afresh, sum every 8-byte
// word, unmap. Page faults, not the record format, bound this.
void BM_MapAndSumLimit(benchmark::State& state) {
  const std::string& path = ReadFile(true);
  uint64_t sum = 0;
  for (auto _ : state) {
    orvo::TFileReader reader(path.c_str());
    const uint8_t* data = reader.Data();
    size_t words = reader.Size() / 8;
    for (size_t i = 0; i < words; ++i) {
      uint64_t word;
      std::memcpy(&word, data + 8 * i, 8);
      sum += word;
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.SetLabel("binary file, limit");
}

// Each iteration writes the layer and walks it: the counters put the writer's
// and the reader's bytes per second side by side.
void BM_WriteAndWalkAttributes(benchmark::State& state) {
  bool binary = state.range(0) != 0;
  std::string path =
      BenchFile(binary ? "orvo_bench_write.battribute" : "orvo_bench_write.attribute");
  orvobench::WriteAndWalkLayer(
      state, path,
      [&] {
        WriteLayer(path, binary);
        return true;
      },
      [&] { return Walk(path, binary); });
  state.SetLabel(binary ? "binary" : "text");
}

BENCHMARK(BM_ReadAttributes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MapAndSumLimit)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteAndWalkAttributes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove(BenchFile("orvo_bench_read.attribute"), ignored);
  std::filesystem::remove(BenchFile("orvo_bench_read.battribute"), ignored);
  return 0;
}
