// Map labels through the exports: a 20-character label along a 10-vertex
// polyline at 12 pixels, in runs and spread, into an image context. Every
// label creates and deletes its rotated fonts, as hosts see it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "orvoapi.h"

namespace {

constexpr char kText[] = "Rue de la Republique";  // 20 characters
constexpr POINT kLine[10] = {{40, 300},  {120, 260}, {200, 250}, {280, 270}, {360, 240},
                             {440, 200}, {520, 210}, {600, 260}, {680, 280}, {760, 250}};

void Label(benchmark::State& state, bool stretch) {
  HDC dc = CreateImageDC(800, 400);
  LOGFONTA record;
  std::memset(&record, 0, sizeof record);
  record.lfHeight = -12;
  record.lfWeight = 400;
  std::strcpy(record.lfFaceName, "Arial");
  HFONT font = CreateFontDC(&record);
  if (dc == nullptr || font == nullptr) std::abort();
  for (auto _ : state) {
    bool ok = DrawTextPolyline(dc, kText, 20, kLine, 10, stretch, font, 0x000080);
    benchmark::DoNotOptimize(ok);
  }
  state.counters["labels/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  FreeFontDC(font);
  FreeImageDC(dc);
}

void BM_LabelRuns(benchmark::State& state) { Label(state, false); }
void BM_LabelSpread(benchmark::State& state) { Label(state, true); }

BENCHMARK(BM_LabelRuns);
BENCHMARK(BM_LabelSpread);

}  // namespace

BENCHMARK_MAIN();
