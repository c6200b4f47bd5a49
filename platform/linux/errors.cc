// The thread's last error and the one translation from errno to Windows codes.
#include <errno.h>
#include <sys/stat.h>

#include <string>

#include "platform/linux/last_error.h"
#include "platform/win32.h"

namespace {

thread_local DWORD t_last_error = ERROR_SUCCESS;

// Whether the directory that would hold `path` is missing (or is not a
// directory), which turns "not found" into "path not found".
bool ParentDirectoryMissing(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return false;  // the current directory
  if (slash == 0) return false;                  // the root
  std::string parent = path.substr(0, slash);
  struct stat st;
  if (stat(parent.c_str(), &st) != 0) return true;
  return !S_ISDIR(st.st_mode);
}

}  // namespace

DWORD GetLastError() { return t_last_error; }

void SetLastError(DWORD code) { t_last_error = code; }

namespace orvo::linux_api {

DWORD ErrorFromErrno(int error, const std::string* path) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return path != nullptr && ParentDirectoryMissing(*path) ? ERROR_PATH_NOT_FOUND
                                                              : ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
      return ERROR_INVALID_NAME;
    case ELOOP:
      return ERROR_CANT_RESOLVE_FILENAME;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
    case EOVERFLOW:
      return ERROR_INVALID_PARAMETER;
    case EFBIG:
      return ERROR_FILE_TOO_LARGE;
    case ETXTBSY:  // writing a program that is running: Windows's answer too
      return ERROR_SHARING_VIOLATION;
    case EBUSY:
      return ERROR_BUSY;
    case EIO:
      return ERROR_IO_DEVICE;
    case ENOEXEC:
      return ERROR_BAD_EXE_FORMAT;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ESPIPE:
      return ERROR_SEEK_ON_DEVICE;
    case EFAULT:
      return ERROR_NOACCESS;
    case ENOSYS:
    case EOPNOTSUPP:
      return ERROR_NOT_SUPPORTED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

void SetLastErrorFromErrno(int error, const std::string* path) {
  SetLastError(ErrorFromErrno(error, path));
}

std::string NativePath(const char* path) {
  std::string native = path != nullptr ? path : "";
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace orvo::linux_api
