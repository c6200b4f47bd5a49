// Reader and writer throughput of one layer, measured in the same run and
// reported side by side: the CPU time of each phase of an iteration (write the
// layer, then walk it) is summed, and the counters give file bytes per second
// of each and the writer's share of the reader's speed.
#ifndef BENCH_BENCH_RATES_H_
#define BENCH_BENCH_RATES_H_

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace orvobench {

// CPU seconds of the calling thread (kernel time included, so page faults and
// writes count).
inline double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

class ReadWriteRates {
 public:
  template <class Body>
  void Write(Body&& body) {
    double t0 = ThreadSeconds();
    body();
    write_seconds_ += ThreadSeconds() - t0;
  }
  template <class Body>
  void Read(Body&& body) {
    double t0 = ThreadSeconds();
    body();
    read_seconds_ += ThreadSeconds() - t0;
  }
  void Report(benchmark::State& state, int64_t file_bytes) const {
    double bytes = static_cast<double>(file_bytes) * static_cast<double>(state.iterations());
    if (write_seconds_ <= 0.0 || read_seconds_ <= 0.0) return;
    double writer = bytes / write_seconds_;
    double reader = bytes / read_seconds_;
    state.counters["reader_B/s"] = benchmark::Counter(reader);
    state.counters["writer_B/s"] = benchmark::Counter(writer);
    state.counters["writer/reader"] = benchmark::Counter(writer / reader);
  }

 private:
  double write_seconds_ = 0.0;
  double read_seconds_ = 0.0;
};

// Each iteration removes the last file (replacing it is not the writer's
// work), writes the layer with write() and walks it with walk(), both false
// on failure; reports both rates and the file's bytes per iteration.
template <class Write, class Walk>
void WriteAndWalkLayer(benchmark::State& state, const std::string& path, Write&& write,
                       Walk&& walk) {
  ReadWriteRates rates;
  for (auto _ : state) {
    std::filesystem::remove(path);
    bool ok = true;
    rates.Write([&] { ok = write(); });
    if (ok) rates.Read([&] { ok = walk(); });
    if (!ok) {
      state.SkipWithError("the layer could not be written or walked");
      return;
    }
  }
  std::error_code ec;
  int64_t bytes = static_cast<int64_t>(std::filesystem::file_size(path, ec));
  if (ec) bytes = 0;
  state.SetBytesProcessed(state.iterations() * bytes);
  rates.Report(state, bytes);
  std::filesystem::remove(path, ec);
}

}  // namespace orvobench

#endif  // BENCH_BENCH_RATES_H_
