// Kept view ranges: a few reserved address ranges, reused by length.
#include "platform/linux/view_ranges.h"

#include <errno.h>
#include <sys/mman.h>
#include <unistd.h>

#include <mutex>
#include <vector>

#include "platform/linux/unload.h"

namespace orvo::linux_api {
namespace {

// Enough for the windows a process slides at once (a reader per open layer);
// each kept range is address space only.
constexpr size_t kMaxKeptRanges = 16;

struct KeptRange {
  void* address;
  size_t length;
};

struct KeptRanges {
  std::mutex mutex;
  std::vector<KeptRange> ranges;
  ~KeptRanges() {
    for (const KeptRange& range : ranges) munmap(range.address, range.length);
  }
};

KeptRanges& TheKeptRanges() {
  static KeptRanges* kept = KeptUntilUnload(new KeptRanges);
  return *kept;
}

size_t PageRounded(size_t length) {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return (length + page - 1) / page * page;
}

// A kept range of the length, taken out of the list; null when there is none.
void* TakeRange(size_t length) {
  KeptRanges& kept = TheKeptRanges();
  std::lock_guard<std::mutex> lock(kept.mutex);
  for (size_t i = kept.ranges.size(); i-- > 0;) {
    if (kept.ranges[i].length == length) {
      void* address = kept.ranges[i].address;
      kept.ranges.erase(kept.ranges.begin() + static_cast<std::ptrdiff_t>(i));
      return address;
    }
  }
  return nullptr;
}

}  // namespace

void* MapViewRange(size_t length, int prot, int flags, int fd, off_t offset) {
  void* range = TakeRange(PageRounded(length));
  if (range == nullptr) return mmap(nullptr, length, prot, flags, fd, offset);
  // The range is ours alone: taken out of the list, it is reserved for no one
  // else, so the fixed mapping replaces nothing but the reservation. Should it
  // fail, the range is forgotten (a little address space at worst): it may be
  // gone already, and unmapping it could hit a mapping another thread has
  // made in its place.
  return mmap(range, length, prot, flags | MAP_FIXED, fd, offset);
}

void UnmapViewRange(void* address, size_t length) {
  length = PageRounded(length);
  KeptRanges& kept = TheKeptRanges();
  std::lock_guard<std::mutex> lock(kept.mutex);
  if (kept.ranges.size() < kMaxKeptRanges &&
      mmap(address, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED, -1,
           0) != MAP_FAILED) {
    kept.ranges.push_back({address, length});
    return;
  }
  munmap(address, length);
}

}  // namespace orvo::linux_api
