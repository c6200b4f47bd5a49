// One owner for operating-system handles and the 64-bit file operations that
// Windows splits into high and low halves. Callers outside platform/ use these
// instead of repeating the split and the INVALID_FILE_SIZE dance.
#ifndef BASE_OS_FILE_H_
#define BASE_OS_FILE_H_

#include <cstddef>
#include <cstdint>

namespace orvo {

// Owns one file or mapping handle (a HANDLE) and closes it when destroyed or
// replaced. Null and INVALID_HANDLE_VALUE both mean "no handle".
class TOsHandle {
 public:
  TOsHandle() = default;
  explicit TOsHandle(void* handle) { Reset(handle); }
  ~TOsHandle() { Reset(); }
  TOsHandle(const TOsHandle&) = delete;
  TOsHandle& operator=(const TOsHandle&) = delete;
  TOsHandle(TOsHandle&& other) noexcept : handle_(other.Detach()) {}
  TOsHandle& operator=(TOsHandle&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  void Reset(void* handle = nullptr);
  void* Detach() {
    void* h = handle_;
    handle_ = nullptr;
    return h;
  }
  void* Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;
};

// How a file open failed, for callers that treat the causes differently (a
// raster file held by another opener is reached through its shared mapping).
enum class OpenFailure { kNone, kNotFound, kAccessDenied, kSharingViolation, kOther };

// CreateFileA with the given access (GENERIC_READ and/or GENERIC_WRITE), share
// mode and creation disposition; an empty handle on failure, with the cause in
// *failure when given.
TOsHandle OpenOsFile(const char* file_name, uint32_t access, uint32_t share_mode,
                     uint32_t disposition, OpenFailure* failure = nullptr);

// The file's size; false when the system cannot tell.
bool OsFileSize(void* file, int64_t* size);
// Moves the file pointer to an absolute position; false when it did not get
// there.
bool OsSeek(void* file, int64_t position);
// Reads or writes exactly n bytes at the file pointer; false on a short
// transfer or an error.
bool OsReadExact(void* file, void* buffer, size_t n);
bool OsWriteExact(void* file, const void* buffer, size_t n);

// The system's allocation granularity: views start at multiples of it.
uint32_t AllocationGranularity();

// The high and low 32-bit halves of a 64-bit offset, as the mapping calls take it.
inline uint32_t HighPart(int64_t v) {
  return static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32);
}
inline uint32_t LowPart(int64_t v) { return static_cast<uint32_t>(static_cast<uint64_t>(v)); }

}  // namespace orvo

#endif  // BASE_OS_FILE_H_
