#include "tests/platform/platform_test_util.h"

#include <atomic>
#include <chrono>
#include <random>

#include "tests/support/child.h"

namespace orvotest {

std::string UniqueName(const std::string& stem) {
  static const unsigned long long run =
      std::random_device{}() ^
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  static std::atomic<unsigned> counter{0};
  return "orvotest-" + stem + "[" + std::to_string(run) + "-" + std::to_string(counter++) + "]";
}

HANDLE OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path.c_str(), access, share, /*security=*/nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, /*template_file=*/nullptr);
}

long OpenError(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE file = OpenFile(path, access, share, disposition);
  if (file == INVALID_HANDLE_VALUE) return static_cast<long>(GetLastError());
  CloseHandle(file);
  return 0;
}

bool MakeFile(const std::string& path, const std::string& bytes) {
  ScopedHandle file(OpenFile(path, GENERIC_WRITE, kShareAll, CREATE_ALWAYS));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string FileBytes(const std::string& path) {
  ScopedHandle file(OpenFile(path, GENERIC_READ, kShareAll, OPEN_EXISTING));
  if (!file.valid()) return "<cannot open>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

}  // namespace orvotest
