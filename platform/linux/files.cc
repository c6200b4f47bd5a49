// Files: CreateFileA with Windows share modes (share_locks.cc), synchronous
// I/O, the file pointer and size, and DeleteFileA.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/linux/fault_injection.h"
#include "platform/linux/file_object.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/last_error.h"
#include "platform/linux/share_locks.h"
#include "platform/win32.h"

namespace orvo::linux_api {
namespace {

// The path a file-name argument spells; false with the last error set when
// there is none or it holds a character Windows refuses in file names
// (wildcards, redirection, quotes), so that names that work on one system
// work on both.
bool FileNameArgument(LPCSTR file_name, std::string* path) {
  if (file_name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  *path = NativePath(file_name);
  if (path->empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (path->find_first_of("*?<>|\"") != std::string::npos) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buffer[4096];
  if (getcwd(buffer, sizeof(buffer)) == nullptr) return path;
  return std::string(buffer) + "/" + path;
}

// Opens path per the disposition. A handle wanting write access (or
// truncating) gets a read-write description when the file allows it, so that
// it can carry the shared share-mode markers; one that does not want to read
// falls back to write-only. Sets *existed to whether the file was there
// before. Returns the descriptor or -1 with the last error set.
int OpenForDisposition(const std::string& path, DWORD disposition, bool want_read, bool want_write,
                       bool* existed) {
  const bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  const int access_flags = want_write || truncates ? O_RDWR : O_RDONLY;
  const int common = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  auto open_with = [&](int flags) {
    int fd = open(path.c_str(), flags | access_flags | common, 0666);
    if (fd < 0 && errno == EACCES && access_flags == O_RDWR && !want_read)
      fd = open(path.c_str(), flags | O_WRONLY | common, 0666);
    return fd;
  };
  for (int attempt = 0; attempt < 64; ++attempt) {
    int fd;
    switch (disposition) {
      case CREATE_NEW:
        *existed = false;
        fd = open_with(O_CREAT | O_EXCL);
        break;
      case CREATE_ALWAYS:
      case OPEN_ALWAYS:
        fd = open_with(O_CREAT | O_EXCL);
        if (fd >= 0) {
          *existed = false;
          break;
        }
        if (errno != EEXIST) break;
        *existed = true;
        fd = open_with(0);
        if (fd < 0 && errno == ENOENT) continue;  // deleted meanwhile: create it
        break;
      default:  // OPEN_EXISTING, TRUNCATE_EXISTING
        *existed = true;
        fd = open_with(0);
        break;
    }
    if (fd < 0) SetLastErrorFromErrno(errno, &path);
    return fd;
  }
  // Another process kept creating and deleting the file under us.
  SetLastError(ERROR_FILE_NOT_FOUND);
  return -1;
}

std::shared_ptr<FileObject> LookupFile(HANDLE handle) { return LookupHandleAs<FileObject>(handle); }

// Reads or writes all `count` bytes unless end of file or an error comes
// first. `position` < 0 means at the file pointer.
bool TransferAll(int fd, bool write, char* buffer, size_t count, int64_t position, size_t* done) {
  *done = 0;
  while (*done < count) {
    // Linux moves at most about 2 GiB per call.
    size_t chunk = std::min<size_t>(count - *done, size_t{1} << 30);
    ssize_t n;
    if (position >= 0) {
      off_t at = static_cast<off_t>(position + static_cast<int64_t>(*done));
      n = write ? pwrite(fd, buffer + *done, chunk, at) : pread(fd, buffer + *done, chunk, at);
    } else {
      n = write ? ::write(fd, buffer + *done, chunk) : read(fd, buffer + *done, chunk);
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        // Descriptors are opened non-blocking (so a FIFO cannot hang
        // CreateFileA) and switched back afterwards; a device that still
        // refuses simply has nothing now.
        break;
      }
      SetLastErrorFromErrno(errno);
      return false;
    }
    if (n == 0) break;  // end of file (reads) or a device that takes no more
    *done += static_cast<size_t>(n);
  }
  return true;
}

// The file a ReadFile or WriteFile call moves bytes of, checked for the access
// the transfer needs and for a buffer; nullptr with the last error set.
std::shared_ptr<FileObject> TransferFile(HANDLE handle, bool write, const void* buffer,
                                         DWORD count) {
  std::shared_ptr<FileObject> object = LookupFile(handle);
  if (object == nullptr) return nullptr;
  if (write ? !object->can_write() : !object->can_read()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (buffer == nullptr && count > 0) {
    SetLastError(ERROR_NOACCESS);
    return nullptr;
  }
  return object;
}

// The file offset an OVERLAPPED names; false with ERROR_INVALID_PARAMETER
// when it lies beyond any file offset.
bool OverlappedPosition(const OVERLAPPED* overlapped, int64_t* position) {
  uint64_t offset = (static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset;
  if (offset > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  *position = static_cast<int64_t>(offset);
  return true;
}

// After a transfer at an OVERLAPPED's offset: a synchronous handle's pointer
// ends up after the bytes moved, and the OVERLAPPED tells how many.
void EndOverlapped(int fd, OVERLAPPED* overlapped, int64_t position, size_t done) {
  lseek(fd, static_cast<off_t>(position + static_cast<int64_t>(done)), SEEK_SET);
  overlapped->InternalHigh = done;
}

// NTSTATUS values Windows leaves in OVERLAPPED::Internal.
constexpr ULONG_PTR kStatusSuccess = 0;
constexpr ULONG_PTR kStatusEndOfFile = 0xC0000011;

}  // namespace

FileObject::FileObject(int fd, DWORD access, dev_t device, ino_t inode, std::string path)
    : HandleObject(kKind),
      fd_(fd),
      access_(access),
      device_(device),
      inode_(inode),
      path_(std::move(path)) {}

FileObject::~FileObject() {
  // Explicitly, because a mapping may hold a dup of fd_ (the same
  // description, hence the same locks) beyond this handle's life.
  ReleaseShareMode(fd_);
  close(fd_);
}

}  // namespace orvo::linux_api

using orvo::linux_api::FileObject;

HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES /*security*/, DWORD creation_disposition,
                   DWORD /*flags_and_attributes*/, HANDLE /*template_file*/) {
  using namespace orvo::linux_api;
  std::string path;
  if (!FileNameArgument(file_name, &path)) return INVALID_HANDLE_VALUE;
  if (creation_disposition < CREATE_NEW || creation_disposition > TRUNCATE_EXISTING ||
      (share_mode & ~kAllShareModes) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const bool want_read = (desired_access & GENERIC_READ) != 0;
  const bool want_write = (desired_access & GENERIC_WRITE) != 0;
  const bool truncates =
      creation_disposition == CREATE_ALWAYS || creation_disposition == TRUNCATE_EXISTING;
  if (creation_disposition == TRUNCATE_EXISTING && !want_write) {
    // Truncating needs a handle with write access.
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }

  bool existed = false;
  int fd = OpenForDisposition(path, creation_disposition, want_read, want_write, &existed);
  if (fd < 0 && !want_read && !want_write && GetLastError() == ERROR_ACCESS_DENIED &&
      creation_disposition == OPEN_EXISTING) {
    // A handle without data access only asks about the file, which needs no
    // read permission on Windows; O_PATH gives the same.
    fd = open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) SetLastErrorFromErrno(errno, &path);
  }
  if (fd < 0) return INVALID_HANDLE_VALUE;

  struct stat st;
  if (fstat(fd, &st) != 0) {
    SetLastErrorFromErrno(errno, &path);
    close(fd);
    return INVALID_HANDLE_VALUE;
  }
  if (S_ISDIR(st.st_mode)) {
    // Windows opens directories only with FILE_FLAG_BACKUP_SEMANTICS, which
    // this layer does not offer; CREATE_NEW on one says "exists" first.
    close(fd);
    SetLastError(creation_disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  int status_flags = fcntl(fd, F_GETFL);
  if (status_flags >= 0 && (status_flags & O_NONBLOCK) != 0)
    fcntl(fd, F_SETFL, status_flags & ~O_NONBLOCK);

  ShareRequest request;
  request.read = want_read;
  request.write = want_write;
  request.share = share_mode;
  int accmode = status_flags >= 0 ? (status_flags & O_ACCMODE) : O_RDONLY;
  bool writable = accmode == O_RDWR || accmode == O_WRONLY;
  if (AcquireShareMode(fd, writable, request) != ERROR_SUCCESS) {
    close(fd);
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }

  if (existed && truncates && st.st_size > 0) {
    if (MappedViewsForbidTruncation(st.st_dev, st.st_ino, 0)) {
      close(fd);
      SetLastError(ERROR_USER_MAPPED_FILE);
      return INVALID_HANDLE_VALUE;
    }
    if (ftruncate(fd, 0) != 0) {
      SetLastErrorFromErrno(errno, &path);
      close(fd);
      return INVALID_HANDLE_VALUE;
    }
  }

  DWORD access = desired_access & (GENERIC_READ | GENERIC_WRITE);
  auto object = std::make_shared<FileObject>(fd, access, st.st_dev, st.st_ino, AbsolutePath(path));
  HANDLE handle = InsertHandle(std::move(object));
  if (handle == nullptr) return INVALID_HANDLE_VALUE;
  bool reports_existing =
      existed && (creation_disposition == CREATE_ALWAYS || creation_disposition == OPEN_ALWAYS);
  SetLastError(reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
              LPOVERLAPPED overlapped) {
  using namespace orvo::linux_api;
  if (bytes_read != nullptr) *bytes_read = 0;
  std::shared_ptr<FileObject> object = TransferFile(file, /*write=*/false, buffer, bytes_to_read);
  if (object == nullptr) return FALSE;
  std::lock_guard<std::mutex> lock(object->io_mutex());
  int64_t position = -1;
  if (overlapped != nullptr && !OverlappedPosition(overlapped, &position)) return FALSE;
  size_t done = 0;
  bool ok = TransferAll(object->fd(), /*write=*/false, static_cast<char*>(buffer), bytes_to_read,
                        position, &done);
  if (bytes_read != nullptr) *bytes_read = static_cast<DWORD>(done);
  if (!ok) return FALSE;
  if (overlapped != nullptr) {
    EndOverlapped(object->fd(), overlapped, position, done);
    if (done == 0 && bytes_to_read > 0) {
      overlapped->Internal = kStatusEndOfFile;
      SetLastError(ERROR_HANDLE_EOF);
      return FALSE;
    }
    overlapped->Internal = kStatusSuccess;
  }
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes_to_write, LPDWORD bytes_written,
               LPOVERLAPPED overlapped) {
  using namespace orvo::linux_api;
  if (bytes_written != nullptr) *bytes_written = 0;
  std::shared_ptr<FileObject> object = TransferFile(file, /*write=*/true, buffer, bytes_to_write);
  if (object == nullptr || InjectFault(FaultKind::kWrite)) return FALSE;
  std::lock_guard<std::mutex> lock(object->io_mutex());
  int64_t position = -1;
  if (overlapped != nullptr) {
    if (overlapped->Offset == 0xFFFFFFFFu && overlapped->OffsetHigh == 0xFFFFFFFFu) {
      // Windows's "append" offset.
      struct stat st;
      if (fstat(object->fd(), &st) != 0) {
        SetLastErrorFromErrno(errno);
        return FALSE;
      }
      position = st.st_size;
    } else if (!OverlappedPosition(overlapped, &position)) {
      return FALSE;
    }
  }
  size_t done = 0;
  bool ok =
      TransferAll(object->fd(), /*write=*/true, const_cast<char*>(static_cast<const char*>(buffer)),
                  bytes_to_write, position, &done);
  if (bytes_written != nullptr) *bytes_written = static_cast<DWORD>(done);
  if (ok && done < bytes_to_write) {
    // A short write to a file means the disk is full.
    SetLastError(ERROR_DISK_FULL);
    ok = false;
  }
  if (overlapped != nullptr) {
    EndOverlapped(object->fd(), overlapped, position, done);
    overlapped->Internal = kStatusSuccess;
  }
  return ok ? TRUE : FALSE;
}

DWORD SetFilePointer(HANDLE file, LONG distance_low, PLONG distance_high, DWORD move_method) {
  using namespace orvo::linux_api;
  std::shared_ptr<FileObject> object = LookupFile(file);
  if (object == nullptr) return INVALID_SET_FILE_POINTER;
  int64_t distance =
      distance_high != nullptr
          ? static_cast<int64_t>(
                (static_cast<uint64_t>(static_cast<uint32_t>(*distance_high)) << 32) |
                static_cast<uint32_t>(distance_low))
          : static_cast<int64_t>(distance_low);
  std::lock_guard<std::mutex> lock(object->io_mutex());
  int64_t base;
  switch (move_method) {
    case FILE_BEGIN:
      base = 0;
      break;
    case FILE_CURRENT: {
      off_t current = lseek(object->fd(), 0, SEEK_CUR);
      if (current < 0) {
        SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
      }
      base = current;
      break;
    }
    case FILE_END: {
      struct stat st;
      if (fstat(object->fd(), &st) != 0) {
        SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
      }
      base = st.st_size;
      break;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  int64_t target;
  if (__builtin_add_overflow(base, distance, &target)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (distance_high == nullptr && target > 0xFFFFFFFFll) {
    // The caller could not learn the high part of the result.
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(object->fd(), static_cast<off_t>(target), SEEK_SET) < 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_SET_FILE_POINTER;
  }
  if (distance_high != nullptr)
    *distance_high = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  DWORD low = static_cast<DWORD>(static_cast<uint64_t>(target) & 0xFFFFFFFFu);
  // The one success that looks like a failure: callers tell them apart by
  // the last error.
  if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
  return low;
}

BOOL SetEndOfFile(HANDLE file) {
  using namespace orvo::linux_api;
  std::shared_ptr<FileObject> object = LookupFile(file);
  if (object == nullptr) return FALSE;
  if (!object->can_write()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (InjectFault(FaultKind::kResize)) return FALSE;
  std::lock_guard<std::mutex> lock(object->io_mutex());
  off_t position = lseek(object->fd(), 0, SEEK_CUR);
  struct stat st;
  if (position < 0 || fstat(object->fd(), &st) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  if (position < st.st_size &&
      MappedViewsForbidTruncation(st.st_dev, st.st_ino, static_cast<uint64_t>(position))) {
    SetLastError(ERROR_USER_MAPPED_FILE);
    return FALSE;
  }
  if (ftruncate(object->fd(), position) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD file_size_high) {
  using namespace orvo::linux_api;
  std::shared_ptr<FileObject> object = LookupFile(file);
  if (object == nullptr) return INVALID_FILE_SIZE;
  struct stat st;
  if (fstat(object->fd(), &st) != 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_FILE_SIZE;
  }
  uint64_t size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  if (file_size_high != nullptr) *file_size_high = static_cast<DWORD>(size >> 32);
  DWORD low = static_cast<DWORD>(size & 0xFFFFFFFFu);
  if (low == INVALID_FILE_SIZE) SetLastError(ERROR_SUCCESS);
  return low;
}

BOOL DeleteFileA(LPCSTR file_name) {
  using namespace orvo::linux_api;
  std::string path;
  if (!FileNameArgument(file_name, &path)) return FALSE;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) {
    SetLastErrorFromErrno(errno, &path);
    return FALSE;
  }
  if (S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  // Windows deletes through a handle with delete access that shares
  // everything; it fails while any handle on the file does not share delete.
  // A symbolic link or a file we cannot open has no share state to honour.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
  if (fd >= 0) {
    struct stat opened;
    bool same = fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino;
    ShareRequest request;
    request.del = true;
    request.share = kAllShareModes;
    if (same && AcquireShareMode(fd, /*writable=*/false, request) != ERROR_SUCCESS) {
      close(fd);
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  }
  int result = unlink(path.c_str());
  int unlink_error = errno;
  if (fd >= 0) close(fd);
  if (result != 0) {
    SetLastErrorFromErrno(unlink_error, &path);
    return FALSE;
  }
  return TRUE;
}
