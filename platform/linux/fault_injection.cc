// Test-only failures at the platform seam.
#include "platform/linux/fault_injection.h"

#include <atomic>

#include "platform/win32.h"

namespace orvo::linux_api {

namespace {

constexpr int kKinds = 4;

struct Counter {
  std::atomic<bool> armed{false};
  std::atomic<int64_t> calls{0};
  std::atomic<int64_t> nth{0};
};

Counter g_counters[kKinds];

}  // namespace

void ArmFault(FaultKind kind, int64_t nth) {
  Counter& c = g_counters[static_cast<int>(kind)];
  c.calls = 0;
  c.nth = nth;
  c.armed = true;
}

int64_t FaultCalls(FaultKind kind) { return g_counters[static_cast<int>(kind)].calls; }

void DisarmFaults() {
  for (Counter& c : g_counters) {
    c.armed = false;
    c.nth = 0;
  }
}

bool InjectFault(FaultKind kind) {
  Counter& c = g_counters[static_cast<int>(kind)];
  if (!c.armed.load(std::memory_order_relaxed)) return false;
  if (++c.calls != c.nth) return false;
  SetLastError(kind == FaultKind::kView ? ERROR_NOT_ENOUGH_MEMORY : ERROR_DISK_FULL);
  return true;
}

}  // namespace orvo::linux_api
