#include "platform/linux/unload.h"

#include <mutex>
#include <utility>
#include <vector>

namespace orvo::linux_api {
namespace {

struct Frees {
  std::mutex mutex;
  std::vector<std::function<void()>> frees;
};

// A plain pointer, not an object with a destructor: the list must outlive
// every static destructor that might still reach a table.
Frees* g_frees = nullptr;
std::once_flag g_once;

Frees& TheFrees() {
  std::call_once(g_once, [] { g_frees = new Frees; });
  return *g_frees;
}

// Runs when the shared library is unloaded, or after every static destructor
// and exit handler when the process ends.
__attribute__((destructor)) void FreeAtUnload() {
  if (g_frees == nullptr) return;
  std::vector<std::function<void()>> frees;
  {
    std::lock_guard<std::mutex> lock(g_frees->mutex);
    frees.swap(g_frees->frees);
  }
  for (auto it = frees.rbegin(); it != frees.rend(); ++it) (*it)();
  frees.clear();
  delete g_frees;
  g_frees = nullptr;
}

}  // namespace

void AtUnload(std::function<void()> free_object) {
  Frees& frees = TheFrees();
  std::lock_guard<std::mutex> lock(frees.mutex);
  frees.frees.push_back(std::move(free_object));
}

}  // namespace orvo::linux_api
