// Directory search: FindFirstFileA / FindNextFileA / FindClose.
//
// A search reads the whole directory when it starts and hands out the entries
// that match, sorted without regard to case as NTFS lists them, so the order
// does not depend on the file system. Matching follows Windows file systems:
// '*' is any run of characters, '?' exactly one, letters match regardless of
// ASCII case, and "*.*" matches every name, with or without a dot.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/handle_table.h"
#include "platform/linux/last_error.h"
#include "platform/win32.h"

namespace orvo::linux_api {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Wildcard match with backtracking to the last '*': linear in practice,
// quadratic at worst, never recursive.
bool MatchesMask(const std::string& name, const std::string& mask) {
  size_t n = 0, m = 0;
  size_t star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (m < mask.size() && (mask[m] == '?' || Upper(mask[m]) == Upper(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    char x = Upper(a[i]), y = Upper(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

constexpr uint64_t kFiletimeEpochOffset = 11644473600ull;  // 1601-01-01 to 1970-01-01, s

FILETIME ToFiletime(const struct timespec& when) {
  int64_t seconds = static_cast<int64_t>(when.tv_sec) + static_cast<int64_t>(kFiletimeEpochOffset);
  uint64_t ticks = seconds < 0 ? 0
                               : static_cast<uint64_t>(seconds) * 10000000ull +
                                     static_cast<uint64_t>(when.tv_nsec) / 100;
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  result.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return result;
}

WIN32_FIND_DATAA Describe(int dir_fd, const std::string& name) {
  WIN32_FIND_DATAA data;
  std::memset(&data, 0, sizeof(data));
  struct stat st;
  bool known = fstatat(dir_fd, name.c_str(), &st, 0) == 0 ||
               fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;  // dangling link
  if (!known) std::memset(&st, 0, sizeof(st));
  DWORD attributes;
  if (known && S_ISDIR(st.st_mode)) {
    attributes = FILE_ATTRIBUTE_DIRECTORY;
  } else {
    attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (known && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      attributes |= FILE_ATTRIBUTE_READONLY;
    uint64_t size = known && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  }
  // Unix's hidden files.
  if (name[0] == '.' && name != "." && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  data.dwFileAttributes = attributes;
  data.ftLastWriteTime = ToFiletime(st.st_mtim);
  data.ftCreationTime = data.ftLastWriteTime;  // Linux keeps no portable birth time
  data.ftLastAccessTime = ToFiletime(st.st_atim);
  size_t length = std::min(name.size(), sizeof(data.cFileName) - 1);
  std::memcpy(data.cFileName, name.data(), length);
  return data;
}

class FindHandle : public HandleObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::kFind;
  explicit FindHandle(std::vector<WIN32_FIND_DATAA> entries)
      : HandleObject(kKind), entries_(std::move(entries)) {}

  // The next entry, or false at the end.
  bool Next(WIN32_FIND_DATAA* data) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (next_ >= entries_.size()) return false;
    *data = entries_[next_++];
    return true;
  }

 private:
  std::mutex mutex_;
  const std::vector<WIN32_FIND_DATAA> entries_;
  size_t next_ = 0;
};

}  // namespace
}  // namespace orvo::linux_api

HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data) {
  using namespace orvo::linux_api;
  if (find_data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string pattern = NativePath(file_name);
  if (pattern.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  size_t slash = pattern.find_last_of('/');
  std::string directory = slash == std::string::npos ? std::string(".")
                          : slash == 0               ? std::string("/")
                                                     : pattern.substr(0, slash);
  std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (mask == "*.*") mask = "*";

  int dir_fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                     : ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  if (mask.empty()) {
    // "dir\" names no file.
    close(dir_fd);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  DIR* dir = fdopendir(dir_fd);
  if (dir == nullptr) {
    SetLastErrorFromErrno(errno);
    close(dir_fd);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    struct dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    std::string name = entry->d_name;
    if (name.size() < MAX_PATH && MatchesMask(name, mask)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  std::vector<WIN32_FIND_DATAA> entries;
  entries.reserve(names.size());
  for (const std::string& name : names) entries.push_back(Describe(dirfd(dir), name));
  closedir(dir);
  if (entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_shared<FindHandle>(std::move(entries));
  search->Next(find_data);
  HANDLE handle = InsertHandle(std::move(search));
  return handle != nullptr ? handle : INVALID_HANDLE_VALUE;
}

BOOL FindNextFileA(HANDLE find_file, LPWIN32_FIND_DATAA find_data) {
  using namespace orvo::linux_api;
  std::shared_ptr<FindHandle> search = LookupHandleAs<FindHandle>(find_file);
  if (search == nullptr) return FALSE;
  if (find_data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!search->Next(find_data)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

BOOL FindClose(HANDLE find_file) {
  std::shared_ptr<orvo::linux_api::HandleObject> search =
      orvo::linux_api::RemoveHandle(find_file, /*find_handles=*/true);
  return search != nullptr ? TRUE : FALSE;
}
