// The growable mapping behind tile files.
#include "taws/file_map.h"

#include "base/errors.h"
#include "platform/win32.h"

namespace orvo {

const char kCantMapFile[] = "can't map file";

TFileMap::TFileMap(const char* file_name, int64_t initial_size, Mode mode) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  const int64_t g = AllocationGranularity();
  step_ = (1000000 / g + 1) * g;  // a little over 1 MB
  const uint32_t share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  if (mode != Mode::kReadOnly) {
    file_ = OpenOsFile(file_name, GENERIC_READ | GENERIC_WRITE, share,
                       mode == Mode::kCreate ? OPEN_ALWAYS : OPEN_EXISTING);
    writable_ = static_cast<bool>(file_);
  }
  // Read-only storage, or a file without write permission, is still read.
  if (!file_ && mode != Mode::kCreate)
    file_ = OpenOsFile(file_name, GENERIC_READ, share, OPEN_EXISTING);
  if (!file_ || !OsFileSize(file_.Get(), &size_)) Raise(kCantOpenFile);
  if (size_ > 0) {
    Map(0);
  } else if (writable_ && initial_size > 0) {
    Resize(initial_size);
  }
}

TFileMap::~TFileMap() {
  Unmap();
  if (writable_ && OsSeek(file_.Get(), size_)) SetEndOfFile(file_.Get());
}

void TFileMap::Unmap() {
  if (base_ != nullptr) {
    if (writable_) FlushViewOfFile(base_, 0);
    UnmapViewOfFile(base_);
    base_ = nullptr;
  }
  mapping_.Reset();
  capacity_ = 0;
}

void TFileMap::Map(int64_t capacity) {
  const int64_t bytes = capacity != 0 ? capacity : size_;
  if (bytes <= 0 || static_cast<uint64_t>(bytes) > SIZE_MAX) Raise(kCantMapFile);
  // A read-write mapping larger than the file extends it.
  mapping_.Reset(CreateFileMappingA(file_.Get(), /*security=*/nullptr,
                                    writable_ ? PAGE_READWRITE : PAGE_READONLY, HighPart(capacity),
                                    LowPart(capacity), /*name=*/nullptr));
  if (!mapping_) Raise(kCantMapFile);
  base_ = static_cast<uint8_t*>(MapViewOfFile(mapping_.Get(),
                                              writable_ ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0,
                                              static_cast<SIZE_T>(bytes)));
  if (base_ == nullptr) {
    mapping_.Reset();
    Raise(kCantMapFile);
  }
  capacity_ = bytes;
}

void TFileMap::Resize(int64_t size) {
  if (size < 0) Raise(kCantMapFile);
  if (size > capacity_) {
    if (!writable_ || size > INT64_MAX - step_) Raise(kCantMapFile);
    Unmap();
    Map((size / step_ + 1) * step_);
  }
  size_ = size;
}

void TFileMap::Fit() {
  if (capacity_ == size_) return;
  if (!writable_) Raise(kCantMapFile);
  Unmap();
  if (!OsSeek(file_.Get(), size_) || !SetEndOfFile(file_.Get())) Raise(kCantMapFile);
  if (size_ > 0) Map(0);
}

}  // namespace orvo
