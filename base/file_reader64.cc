// Sliding read-only window over a mapped file.
#include "base/file_reader64.h"

#include <cstddef>

#include "base/errors.h"
#include "platform/win32.h"

namespace orvo {

uint32_t WindowFor(uint32_t window_request) {
  uint32_t g = AllocationGranularity();
  uint64_t window = (static_cast<uint64_t>(window_request) / g + 1) * g;
  // Keep the window addressable in a 32-bit process.
  if (window > 0x40000000u) window = 0x40000000u / g * g;
  return static_cast<uint32_t>(window);
}

TFileReader64::TFileReader64(const char* file_name, uint32_t window_request, TViews views)
    : window_(WindowFor(window_request)) {
  file_ = OpenOsFile(file_name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (!file_ || !OsFileSize(file_.Get(), &size_)) Raise(kCantOpenFile);
  // A 64-bit process has the address space to see the whole file at once:
  // one view that never moves, whose pages the system maps in large pieces.
  whole_view_ = views == TViews::kWholeFileWhereRoom && sizeof(void*) >= 8 && size_ > window_;
  // An empty file cannot be mapped; it simply has no bytes to hand out.
  if (size_ > 0) {
    mapping_.Reset(CreateFileMappingA(file_.Get(), /*security=*/nullptr, PAGE_READONLY, 0, 0,
                                      /*name=*/nullptr));
    if (!mapping_) Raise(kCantOpenFile);
  }
}

TFileReader64::~TFileReader64() { Unmap(); }

void TFileReader64::Unmap() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  view_ = nullptr;
  view_start_ = 0;
  view_length_ = 0;
}

bool TFileReader64::EnsureWindow(int64_t position, int64_t length) {
  if (position < 0 || length < 0 || length > size_ || position > size_ - length) return false;
  if (view_ != nullptr && position >= view_start_ &&
      position + length <= view_start_ + view_length_)
    return true;
  if (!mapping_) return length == 0;
  Unmap();
  if (whole_view_) {
    void* view = MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size_));
    if (view != nullptr) {
      view_ = static_cast<const uint8_t*>(view);
      view_length_ = size_;
      return true;
    }
    whole_view_ = false;  // no room after all: windows from here on
  }
  int64_t start = position / window_ * window_;
  int64_t span = ((position + length - start) / window_ + 1) * window_;
  if (span > size_ - start) span = size_ - start;
  if (static_cast<uint64_t>(span) > SIZE_MAX) return false;
  void* view = MapViewOfFile(mapping_.Get(), FILE_MAP_READ, HighPart(start), LowPart(start),
                             static_cast<SIZE_T>(span));
  if (view == nullptr) return false;
  view_ = static_cast<const uint8_t*>(view);
  view_start_ = start;
  view_length_ = span;
  return true;
}

const uint8_t* TFileReader64::MapRangeMoving(int64_t position, int64_t length) {
  if (!EnsureWindow(position, length) || view_ == nullptr) return nullptr;
  return view_ + (position - view_start_);
}

}  // namespace orvo
