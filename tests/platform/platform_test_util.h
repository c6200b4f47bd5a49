// Helpers shared by the platform contract tests: owned handles, unique object
// names, and one-call file set-up through the platform seam itself.
#ifndef TESTS_PLATFORM_PLATFORM_TEST_UTIL_H_
#define TESTS_PLATFORM_PLATFORM_TEST_UTIL_H_

#include <string>

#include "platform/win32.h"

namespace orvotest {

// Closes the handle (file, mapping, process...) when it goes out of scope.
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (valid()) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A mapping name no other test run on this machine uses.
std::string UniqueName(const std::string& stem);

// CreateFileA with the arguments the tests vary.
HANDLE OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition);

// GetLastError() of a refused CreateFileA, or 0 when the file opens (the
// handle is closed again).
long OpenError(const std::string& path, DWORD access, DWORD share, DWORD disposition);

// 0 when the call succeeded (true, or not null), else GetLastError().
inline long ErrorOf(BOOL ok) { return ok ? 0 : static_cast<long>(GetLastError()); }
inline long ErrorOf(const void* result) { return ErrorOf(result != nullptr); }

// Creates (or replaces) the file with the bytes; false on failure.
bool MakeFile(const std::string& path, const std::string& bytes);

// The file's bytes through ReadFile from the start, opened sharing everything.
std::string FileBytes(const std::string& path);

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

}  // namespace orvotest

#endif  // TESTS_PLATFORM_PLATFORM_TEST_UTIL_H_
