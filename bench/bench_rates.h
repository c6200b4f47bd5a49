// Reader and writer throughput of one layer, measured in the same run and
// reported side by side: the CPU time of each phase of an iteration (write the
// layer, then walk it) is summed, and the counters give file bytes per second
// of each and the writer's share of the reader's speed.
#ifndef BENCH_BENCH_RATES_H_
#define BENCH_BENCH_RATES_H_

#include <cstdint>
#include <ctime>

#include <benchmark/benchmark.h>

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

}  // namespace orvobench

#endif  // BENCH_BENCH_RATES_H_
