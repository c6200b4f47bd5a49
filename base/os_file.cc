// Owned handles and 64-bit file operations over the platform seam.
#include "base/os_file.h"

#include "platform/win32.h"

namespace orvo {

void TOsHandle::Reset(void* handle) {
  if (handle == INVALID_HANDLE_VALUE) handle = nullptr;
  void* old = handle_;
  handle_ = handle;
  if (old != nullptr) CloseHandle(old);
}

TOsHandle OpenOsFile(const char* file_name, uint32_t access, uint32_t share_mode,
                     uint32_t disposition, OpenFailure* failure) {
  HANDLE h = CreateFileA(file_name, access, share_mode, /*security=*/nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, /*template_file=*/nullptr);
  if (failure != nullptr) {
    *failure = OpenFailure::kNone;
    if (h == INVALID_HANDLE_VALUE) {
      switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
          *failure = OpenFailure::kNotFound;
          break;
        case ERROR_ACCESS_DENIED:
          *failure = OpenFailure::kAccessDenied;
          break;
        case ERROR_SHARING_VIOLATION:
          *failure = OpenFailure::kSharingViolation;
          break;
        default:
          *failure = OpenFailure::kOther;
          break;
      }
    }
  }
  return TOsHandle(h);
}

bool OsFileSize(void* file, int64_t* size) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(file, &high);
  // INVALID_FILE_SIZE is also a real low half; only the last error tells.
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  *size = static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
  return true;
}

bool OsSeek(void* file, int64_t position) {
  if (position < 0) return false;
  LONG high = static_cast<LONG>(HighPart(position));
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(file, static_cast<LONG>(LowPart(position)), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
  uint64_t reached = (static_cast<uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  return reached == static_cast<uint64_t>(position);
}

bool OsReadExact(void* file, void* buffer, size_t n) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (n > 0) {
    DWORD chunk = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    DWORD got = 0;
    if (!ReadFile(file, p, chunk, &got, /*overlapped=*/nullptr) || got == 0) return false;
    p += got;
    n -= got;
  }
  return true;
}

bool OsWriteExact(void* file, const void* buffer, size_t n) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  while (n > 0) {
    DWORD chunk = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    DWORD put = 0;
    if (!WriteFile(file, p, chunk, &put, /*overlapped=*/nullptr) || put == 0) return false;
    p += put;
    n -= put;
  }
  return true;
}

uint32_t AllocationGranularity() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwAllocationGranularity;
}

}  // namespace orvo
