// Files: CreateFileA with Windows share modes, synchronous I/O, the file
// pointer and size, and DeleteFileA.
#include <errno.h>
#include <fcntl.h>
#include <sched.h>
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

#include "platform/linux/file_object.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/last_error.h"
#include "platform/linux/ofd_locks.h"
#include "platform/win32.h"

// Share modes on Linux
// --------------------
//
// Windows decides at every open whether the new handle may coexist with the
// handles already open on the file: the new handle's access must be allowed by
// every existing handle's share mode, and every existing handle's access must
// be allowed by the new share mode. A failed check is ERROR_SHARING_VIOLATION,
// whether the other handle lives in the same process or another one. The map
// code relies on it: a writer opens exclusively so nobody reads a half-written
// file, and a second instance of a host must not clobber the first one's
// files.
//
// Linux has no such check, so we build it from advisory byte locks. The
// obvious tool, POSIX record locks (F_SETLK), cannot carry it. They belong to
// the (process, inode) pair, not to an open file: two descriptors of one file
// in one process never conflict, so a second CreateFileA in the same process
// would sail through an exclusive open; and closing *any* descriptor of the
// file drops *all* of the process's locks on it, so closing one handle would
// silently release the share mode of every other handle on that file. (This is
// the trap SQLite documents at length; it has to keep a process-wide table of
// inodes to work around it.) flock() is per open file description, but it
// knows only "shared" and "exclusive" for the whole file, not the six
// independent conditions a share mode is made of.
//
// Open-file-description locks (F_OFD_SETLK, Linux 3.15) have what we need: a
// lock belongs to the open file description that took it. Every CreateFileA
// opens a new description, so two handles conflict exactly as two processes
// would, a dup() shares its description's locks, and the kernel removes the
// locks when the description's last reference goes, including when the
// process crashes; no lock file, no cleanup, no stale state.
//
// Each handle announces itself with shared locks on single "marker" bytes far
// beyond any real data (kLockRegion, 2^62): one byte for each kind of access
// it holds (read, write, delete) and one for each kind of sharing it denies.
// Shared locks coexist, so any number of handles can hold the same marker.
// A new opener asks the kernel (F_OFD_GETLK with an exclusive probe) whether
// any other description holds the markers that conflict with its request: a
// reader probes "denies read", a handle not sharing writes probes "has write",
// and so on. The probe ignores the prober's own description.
//
// The check and the taking of markers must be atomic, or two conflicting
// openers could both pass. Openers take their markers first and probe after:
// of two racing openers the later prober always sees the earlier one's
// markers, so two conflicting handles can never both succeed. To keep such a
// race from failing both (each seeing the other), a writable opener first takes
// an exclusive lock on a "gate" byte, held only for the check, which orders
// writable openers; and an opener that saw a conflict withdraws its markers
// and probes once more before failing, retrying when the conflicting markers
// have gone (they belonged to a racing opener that backed off).
//
// The cost: one open() plus a handful of fcntl() calls per CreateFileA, no
// extra descriptors and no files. The limits: the locks are advisory, so only
// openers going through this layer see them; a file system without lock
// support (some FUSE mounts) opens without share checks; a description opened
// write-only (a file we may write but not read) cannot hold the shared
// markers, so it sees other handles but is not seen by them; and the gate
// needs a writable description, so two read-only openers that race with
// conflicting share modes rely on the withdraw-and-retry step alone.

namespace orvo::linux_api {
namespace {

// Lock bytes, counted from kLockRegion.
enum Marker : off_t {
  kGate = 0,
  kHasRead = 1,
  kHasWrite = 2,
  kHasDelete = 3,
  kDeniesRead = 4,
  kDeniesWrite = 5,
  kDeniesDelete = 6,
  kMarkerCount = 7,
};

constexpr int kShareAttempts = 8;
constexpr DWORD kAllShareModes = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct ShareRequest {
  bool read = false;
  bool write = false;
  bool del = false;
  DWORD share = 0;
  bool any_access() const { return read || write || del; }
};

off_t At(Marker marker) { return kLockRegion + marker; }

void TakeMarkers(int fd, const ShareRequest& request) {
  // Errors are ignored on purpose: a write-only description (EBADF) or a file
  // system without locks simply announces nothing.
  auto take = [fd](Marker marker) { LockByte(fd, F_RDLCK, At(marker), /*wait=*/false); };
  if (request.read) take(kHasRead);
  if (request.write) take(kHasWrite);
  if (request.del) take(kHasDelete);
  if (!(request.share & FILE_SHARE_READ)) take(kDeniesRead);
  if (!(request.share & FILE_SHARE_WRITE)) take(kDeniesWrite);
  if (!(request.share & FILE_SHARE_DELETE)) take(kDeniesDelete);
}

void DropMarkers(int fd) { UnlockBytes(fd, At(kHasRead), kMarkerCount - kHasRead); }

bool Conflicts(int fd, const ShareRequest& request) {
  auto held = [fd](Marker marker) { return ByteHeldByOthers(fd, At(marker)); };
  return (request.read && held(kDeniesRead)) || (request.write && held(kDeniesWrite)) ||
         (request.del && held(kDeniesDelete)) ||
         (!(request.share & FILE_SHARE_READ) && held(kHasRead)) ||
         (!(request.share & FILE_SHARE_WRITE) && held(kHasWrite)) ||
         (!(request.share & FILE_SHARE_DELETE) && held(kHasDelete));
}

// Checks the request against every other handle on the file and, when it
// fits, leaves the request's markers on fd's description. Returns
// ERROR_SUCCESS or ERROR_SHARING_VIOLATION.
DWORD AcquireShareMode(int fd, bool writable, const ShareRequest& request) {
  // Windows ignores the share mode of a handle without read, write or delete
  // access, and checks nothing for it.
  if (!request.any_access()) return ERROR_SUCCESS;
  for (int attempt = 1;; ++attempt) {
    bool gated = writable && LockByte(fd, F_WRLCK, At(kGate), /*wait=*/true) == 0;
    TakeMarkers(fd, request);
    if (!Conflicts(fd, request)) {
      if (gated) UnlockBytes(fd, At(kGate), 1);
      return ERROR_SUCCESS;
    }
    DropMarkers(fd);
    // Still there with our markers withdrawn: a real holder, not a racing
    // opener that saw us and is about to back off.
    bool held = Conflicts(fd, request);
    if (gated) UnlockBytes(fd, At(kGate), 1);
    if (held || attempt >= kShareAttempts) return ERROR_SHARING_VIOLATION;
    sched_yield();
  }
}

bool HasInvalidNameCharacter(const std::string& path) {
  // The characters Windows refuses in file names (wildcards, redirection,
  // quotes) fail here too, so names that work on one system work on both.
  return path.find_first_of("*?<>|\"") != std::string::npos;
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
int OpenForDisposition(const std::string& path, DWORD disposition, bool want_read,
                       bool want_write, bool* existed) {
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

std::shared_ptr<FileObject> LookupFile(HANDLE handle) {
  return LookupHandleAs<FileObject>(handle);
}

// Reads or writes all `count` bytes unless end of file or an error comes
// first. `position` < 0 means at the file pointer.
bool TransferAll(int fd, bool write, char* buffer, size_t count, int64_t position,
                 size_t* done) {
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

uint64_t OverlappedOffset(const OVERLAPPED* overlapped) {
  return (static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset;
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
  UnlockBytes(fd_, kLockRegion, kMarkerCount);
  close(fd_);
}

}  // namespace orvo::linux_api

using orvo::linux_api::FileObject;

HANDLE CreateFileA(LPCSTR file_name, DWORD desired_access, DWORD share_mode,
                   LPSECURITY_ATTRIBUTES /*security*/, DWORD creation_disposition,
                   DWORD /*flags_and_attributes*/, HANDLE /*template_file*/) {
  using namespace orvo::linux_api;
  if (file_name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string path = NativePath(file_name);
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (HasInvalidNameCharacter(path)) {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
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
  bool reports_existing = existed && (creation_disposition == CREATE_ALWAYS ||
                                      creation_disposition == OPEN_ALWAYS);
  SetLastError(reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read,
              LPOVERLAPPED overlapped) {
  using namespace orvo::linux_api;
  if (bytes_read != nullptr) *bytes_read = 0;
  std::shared_ptr<FileObject> object = LookupFile(file);
  if (object == nullptr) return FALSE;
  if (!object->can_read()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (buffer == nullptr && bytes_to_read > 0) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(object->io_mutex());
  int64_t position = -1;
  if (overlapped != nullptr) {
    uint64_t offset = OverlappedOffset(overlapped);
    if (offset > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    position = static_cast<int64_t>(offset);
  }
  size_t done = 0;
  bool ok = TransferAll(object->fd(), /*write=*/false, static_cast<char*>(buffer), bytes_to_read,
                        position, &done);
  if (bytes_read != nullptr) *bytes_read = static_cast<DWORD>(done);
  if (!ok) return FALSE;
  if (overlapped != nullptr) {
    // A synchronous handle's pointer ends up after the bytes read.
    lseek(object->fd(), static_cast<off_t>(position + static_cast<int64_t>(done)), SEEK_SET);
    overlapped->InternalHigh = done;
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
  std::shared_ptr<FileObject> object = LookupFile(file);
  if (object == nullptr) return FALSE;
  if (!object->can_write()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (buffer == nullptr && bytes_to_write > 0) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
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
    } else {
      uint64_t offset = OverlappedOffset(overlapped);
      if (offset > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      position = static_cast<int64_t>(offset);
    }
  }
  size_t done = 0;
  bool ok = TransferAll(object->fd(), /*write=*/true,
                        const_cast<char*>(static_cast<const char*>(buffer)), bytes_to_write,
                        position, &done);
  if (bytes_written != nullptr) *bytes_written = static_cast<DWORD>(done);
  if (ok && done < bytes_to_write) {
    // A short write to a file means the disk is full.
    SetLastError(ERROR_DISK_FULL);
    ok = false;
  }
  if (overlapped != nullptr) {
    lseek(object->fd(), static_cast<off_t>(position + static_cast<int64_t>(done)), SEEK_SET);
    overlapped->InternalHigh = done;
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
          ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distance_high)) << 32) |
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
  if (distance_high != nullptr) *distance_high = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
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
  if (file_name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string path = NativePath(file_name);
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (HasInvalidNameCharacter(path)) {
    SetLastError(ERROR_INVALID_NAME);
    return FALSE;
  }
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
