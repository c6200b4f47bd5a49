// Whole-file read-only mapping.
#include "base/file_reader.h"

#include "base/errors.h"
#include "platform/win32.h"

namespace orvo {

TFileReader::TFileReader(const char* file_name) {
  HANDLE file = CreateFileA(file_name, GENERIC_READ, FILE_SHARE_READ, /*security=*/nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /*template_file=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) Raise(kCantOpenFile);
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  // Files of 4 GiB or more do not fit this reader's 32-bit size.
  if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0) {
    CloseHandle(file);
    Raise(kCantOpenFile);
  }
  file_ = file;
  size_ = low;
  if (size_ == 0) return;  // nothing to map
  mapping_ = CreateFileMappingA(file, /*security=*/nullptr, PAGE_READONLY, 0, 0, /*name=*/nullptr);
  void* view = mapping_ != nullptr ? MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0) : nullptr;
  if (view == nullptr) {
    if (mapping_ != nullptr) CloseHandle(mapping_);
    CloseHandle(file);
    Raise(kCantOpenFile);
  }
  data_ = static_cast<const uint8_t*>(view);
}

TFileReader::~TFileReader() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
  if (mapping_ != nullptr) CloseHandle(mapping_);
  CloseHandle(file_);
}

}  // namespace orvo
