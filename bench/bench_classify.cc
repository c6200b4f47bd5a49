// Classifier throughput through the CS and AT exports on a generated file of
// 10,000 features with 3 attributes and a graph each, 10,000 attributes with
// 10 allowed values each and limits on half of them, 1,000 groups and 1,000
// graphs (about 6 MB, CR LF lines): load and save speed, lookups and value
// checks per second, and listing every id by index for growing counts.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orvoapi.h"

namespace {

constexpr int kFeatures = 10000;
constexpr int kAttributes = 10000;
constexpr int kValues = 10;
constexpr int kGroups = 1000;
constexpr int kGraphs = 1000;

std::string Id(const char* prefix, int i) {
  char text[32];
  std::snprintf(text, sizeof(text), "%s%05d", prefix, i);
  return text;
}

// Builds the classifier through the exports.
void Fill(HCS c) {
  const std::string long_anno(120, 'a');
  for (int i = 0; i < kAttributes; ++i) {
    std::string id = Id("attr", i);
    AddAttributeCS(c, id.c_str());
    HAT a = GetAttributeCS(c, id.c_str());
    SetNameAT(a, ("Attribute name " + std::to_string(i)).c_str());
    SetName2AT(a, ("Second name " + std::to_string(i)).c_str());
    SetAnnoAT(a, long_anno.c_str());
    SetDataTypeAT(a, i % 2 == 0 ? 1 : 5);
    SetUnitAT(a, "m");
    if (i % 2 == 0) {  // limits on half of them
      SetMinAT(a, i % 4 == 0 ? "0" : "A");
      SetMaxAT(a, i % 4 == 0 ? "1000" : "zzzz");
    }
    for (int v = 0; v < kValues; ++v) {
      std::string value = i % 2 == 0 ? std::to_string(v * 10) : "value " + std::to_string(v);
      AddValueAT(a, value.c_str(), ("annotation of value " + std::to_string(v)).c_str());
    }
  }
  for (int i = 0; i < kGraphs; ++i) {
    std::string id = Id("graph", i);
    AddGraphCS(c, id.c_str());
    HRT g = GetGraphCS(c, id.c_str());
    SetAnnoRT(g, "graph annotation");
    SetFileSymbolRT(g, "symbols.lib");
    SetStdSymbolRT(g, std::to_string(i).c_str());
    SetPriorityRT(g, i);
    SetMinScaleRT(g, 100);
    SetMaxScaleRT(g, 50000);
  }
  for (int i = 0; i < kFeatures; ++i) {
    std::string id = Id("feature", i);
    AddFeatureCS(c, id.c_str());
    HFT f = GetFeatureCS(c, id.c_str());
    SetNameFT(f, ("Feature name " + std::to_string(i)).c_str());
    SetName2FT(f, "second");
    SetAnnoFT(f, "feature annotation text");
    SetLocalFT(f, 1 + i % 4);
    SetGraphIdFT(f, Id("graph", i % kGraphs).c_str());
    for (int k = 0; k < 3; ++k)
      AddAttributeFT(f, Id("attr", (i * 7 + k * 13) % kAttributes).c_str(), false);
  }
  for (int i = 0; i < kGroups; ++i) {
    std::string id = Id("group", i);
    AddGroupCS(c, id.c_str());
    SetAnnoGT(GetGroupCS(c, id.c_str()), "group annotation");
  }
}

// The generated file, written once per run.
const std::string& ClassifierFile(int64_t* size) {
  static std::string path;
  static int64_t bytes = 0;
  if (path.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp != nullptr ? tmp : "/tmp") + "/orvo_bench_classify.cls";
    HCS c = CreateCS();
    Fill(c);
    if (!SaveFileCS(c, path.c_str())) std::abort();
    FreeCS(c);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    bytes = std::ftell(f);
    std::fclose(f);
  }
  *size = bytes;
  return path;
}

void BM_LoadFileCS(benchmark::State& state) {
  int64_t size = 0;
  const std::string& path = ClassifierFile(&size);
  HCS c = CreateCS();
  for (auto _ : state) {
    if (!LoadFileCS(c, path.c_str())) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["file_MB"] = static_cast<double>(size) / 1e6;
  state.counters["features"] = GetFeatureCountCS(c);
  state.counters["attributes"] = GetAttributeCountCS(c);
  FreeCS(c);
}
BENCHMARK(BM_LoadFileCS)->Unit(benchmark::kMillisecond);

// The usual host sequence: a fresh classifier, so nothing old to destroy.
void BM_LoadFileCSFresh(benchmark::State& state) {
  int64_t size = 0;
  const std::string& path = ClassifierFile(&size);
  for (auto _ : state) {
    HCS c = CreateCS();
    if (!LoadFileCS(c, path.c_str())) state.SkipWithError("load failed");
    state.PauseTiming();
    FreeCS(c);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_LoadFileCSFresh)->Unit(benchmark::kMillisecond);

void BM_SaveFileCS(benchmark::State& state) {
  int64_t size = 0;
  const std::string& path = ClassifierFile(&size);
  HCS c = CreateCS();
  LoadFileCS(c, path.c_str());
  std::string out = path + ".out";
  for (auto _ : state) {
    if (!SaveFileCS(c, out.c_str())) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * size);
  std::remove(out.c_str());
  FreeCS(c);
}
BENCHMARK(BM_SaveFileCS)->Unit(benchmark::kMillisecond);

void BM_GetFeatureCS(benchmark::State& state) {
  int64_t size = 0;
  HCS c = CreateCS();
  LoadFileCS(c, ClassifierFile(&size).c_str());
  std::vector<std::string> ids;
  for (int i = 0; i < kFeatures; i += 7) ids.push_back(Id(i % 2 == 0 ? "Feature" : "FEATURE", i));
  ids.push_back("missing");
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GetFeatureCS(c, ids[next].c_str()));
    if (++next == ids.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
  FreeCS(c);
}
BENCHMARK(BM_GetFeatureCS);

void BM_CheckStringAT(benchmark::State& state) {
  int64_t size = 0;
  HCS c = CreateCS();
  LoadFileCS(c, ClassifierFile(&size).c_str());
  HAT integer = GetAttributeCS(c, Id("attr", 0).c_str());
  HAT text = GetAttributeCS(c, Id("attr", 1).c_str());
  struct Probe {
    HAT attribute;
    const char* value;
  };
  const Probe probes[] = {{integer, "40"},   {integer, "45"},    {integer, "5000"},
                          {text, "Value 3"}, {text, "value 11"}, {text, "0"},
                          {integer, "090"},  {text, "VALUE 9"}};
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CheckStringAT(probes[next].attribute, probes[next].value));
    if (++next == sizeof(probes) / sizeof(probes[0])) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
  FreeCS(c);
}
BENCHMARK(BM_CheckStringAT);

// One change (which makes the key list stale) and then every id by index:
// the time per listed id stays flat as the count grows.
void BM_ListFeatureIds(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  HCS c = CreateCS();
  for (int i = 0; i < count; ++i) AddFeatureCS(c, Id("f", i).c_str());
  char buffer[32];
  for (auto _ : state) {
    AddFeatureCS(c, "zzz");
    EraseFeatureCS(c, "zzz");
    int32_t n = GetFeatureCountCS(c);
    for (int32_t i = 0; i < n; ++i) GetFeatureIdCS(c, i, buffer, sizeof(buffer));
    benchmark::DoNotOptimize(buffer);
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.SetComplexityN(count);
  FreeCS(c);
}
BENCHMARK(BM_ListFeatureIds)->RangeMultiplier(4)->Range(1000, 64000)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
