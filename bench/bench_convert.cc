// orvo convert on the benchmark layer: 1,000,000 line objects of 10 vertices
// with three attributes each (binary form), converted to GeoJSON and back in
// process, as `orvo convert` runs. Prints one line a measurement: seconds
// and megabytes per second of GeoJSON written or read, and the C++ walk of
// the same layer through the exports (every record with its attributes),
// the yardstick of the Python read. Files go to a fresh directory under
// ORVO_BENCH_DIR (default: the system's temporary directory), removed at the
// end. `bench_convert --keep DIR` writes the layer to DIR and stops, for the
// Python benchmark (bench/bench_python_read.py); `bench_convert --walk DIR`
// times the C++ walk of that layer alone, to set beside it.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tools/orvo/commands.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kObjects = 1000000;
constexpr int32_t kVertices = 10;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool WriteLayer(const std::string& path) {
  HSW sw = CreateExSW((path + ".bspatial").c_str(), true);
  HAW aw = CreateExAW((path + ".battribute").c_str(), true);
  if (sw == nullptr || aw == nullptr) return false;
  const int32_t counts[1] = {kVertices};
  double xy[2 * kVertices];
  bool ok = true;
  for (int32_t id = 1; id <= kObjects; ++id) {
    for (int32_t i = 0; i < kVertices; ++i) {
      xy[2 * i] = 512345.6789 + id * 0.731 + i * 1.37e-3;
      xy[2 * i + 1] = 6123456.789 - id * 0.529 + i * 2.71e-3;
    }
    ok = ok && AddRecordSW(sw, id, 2, counts, xy, 1) >= 0;
    ok = ok && AddRecordAW(aw, id, id % 977, "ROAD") >= 0;
    AddIntAttributeAW(aw, "LANES", id % 4 + 1);
    AddDoubleAttributeAW(aw, "WIDTH", 3.5 + (id % 7) * 0.25);
    AddAttributeAW(aw, "NAME", id % 2 ? "Main street" : "Ring road");
  }
  FreeSW(sw);
  FreeAW(aw);
  return ok;
}

// Every record with its geometry and attributes, through the exports.
int64_t Walk(const std::string& path) {
  HSR sr = CreateExSR((path + ".bspatial").c_str(), true);
  HAR ar = CreateExAR((path + ".battribute").c_str(), true);
  double sum = 0;
  int64_t n = 0;
  char text[256];
  std::vector<double> xy;
  while (NextSR(sr) && NextAR(ar)) {
    const int32_t count = GetVertexCountSR(sr);
    xy.resize(static_cast<size_t>(count) * 2);
    std::memcpy(xy.data(), GetMetricSR(sr), xy.size() * sizeof(double));
    sum += xy[0] + GetIntAttributeAR(ar, 0) + GetDoubleAttributeAR(ar, 1);
    GetAttributeAR(ar, 2, text, sizeof(text));
    ++n;
  }
  FreeSR(sr);
  FreeAR(ar);
  std::printf("  (checksum %.3f)\n", sum);
  return n;
}

int Orvo(std::vector<std::string> args) {
  std::vector<const char*> argv{"orvo"};
  for (const auto& a : args) argv.push_back(a.c_str());
  return orvotool::RunOrvo(static_cast<int>(argv.size()), argv.data(), stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--keep") == 0) {
    fs::create_directories(argv[2]);
    const std::string base = (fs::path(argv[2]) / "bench").string();
    return WriteLayer(base) ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "--walk") == 0) {
    // CPU seconds too: on a shared machine the wall clock also counts waits.
    const std::clock_t cpu = std::clock();
    const auto t = std::chrono::steady_clock::now();
    const int64_t walked = Walk((fs::path(argv[2]) / "bench").string());
    std::printf("C++ walk through the exports: %lld records, %.3f s (%.3f s CPU)\n",
                static_cast<long long>(walked), Seconds(t),
                static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
    return walked > 0 ? 0 : 1;
  }
  const char* root = std::getenv("ORVO_BENCH_DIR");
  const fs::path dir = fs::path(root ? root : fs::temp_directory_path().string()) /
                       ("orvo-bench-convert-" + std::to_string(std::rand()));
  fs::create_directories(dir);
  const std::string base = (dir / "layer").string();
  auto t = std::chrono::steady_clock::now();
  if (!WriteLayer(base)) return 1;
  std::printf("layer written: %d records, %.1f MB binary, %.2f s\n", kObjects,
              (fs::file_size(base + ".bspatial") + fs::file_size(base + ".battribute")) / 1e6,
              Seconds(t));

  t = std::chrono::steady_clock::now();
  const int64_t walked = Walk(base);
  std::printf("C++ walk through the exports: %lld records, %.3f s\n",
              static_cast<long long>(walked), Seconds(t));

  const std::string json = (dir / "layer.geojson").string();
  t = std::chrono::steady_clock::now();
  if (Orvo({"convert", base + ".bspatial", json}) != 0) return 1;
  double s = Seconds(t);
  const double mb = fs::file_size(json) / 1e6;
  std::printf("binary -> GeoJSON: %.1f MB of GeoJSON in %.2f s, %.0f MB/s written\n", mb, s,
              mb / s);

  t = std::chrono::steady_clock::now();
  if (Orvo({"convert", json, (dir / "back.bspatial").string()}) != 0) return 1;
  s = Seconds(t);
  std::printf("GeoJSON -> binary: %.1f MB of GeoJSON in %.2f s, %.0f MB/s read\n", mb, s, mb / s);
  fs::remove_all(dir);
  return 0;
}
