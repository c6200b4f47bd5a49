// Whole-file read-only mapping.
#include "base/file_reader.h"

#include <cstdint>

#include "base/errors.h"
#include "platform/win32.h"

namespace orvo {

TFileReader::TFileReader(const char* file_name) {
  file_ = OpenOsFile(file_name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  int64_t size = 0;
  // Files of 4 GiB or more do not fit this reader's 32-bit size.
  if (!file_ || !OsFileSize(file_.Get(), &size) || size > UINT32_MAX) Raise(kCantOpenFile);
  size_ = static_cast<uint32_t>(size);
  if (size_ == 0) return;  // nothing to map
  mapping_.Reset(CreateFileMappingA(file_.Get(), /*security=*/nullptr, PAGE_READONLY, 0, 0,
                                    /*name=*/nullptr));
  void* view = mapping_ ? MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
  if (view == nullptr) Raise(kCantOpenFile);
  data_ = static_cast<const uint8_t*>(view);
}

TFileReader::~TFileReader() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
}

}  // namespace orvo
